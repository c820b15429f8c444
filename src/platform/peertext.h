#pragma once
// The one filter for text that peers send (server replies, WHOIS and RDAP answers, texts of
// GnuPG's user IDs) before it reaches a terminal or a log line. Control characters would move the
// cursor, ring the bell, recolour the terminal or start a line that was never received; line and
// paragraph separators and bidirectional, zero-width and other invisible characters would make
// text read as other text. They are shown instead: C0 controls and DEL as "\xNN", other code
// points as "\u{NNNN}" (and a backslash stays as it is: the escapes show what arrived, they are
// not an encoding). A CR is kept as a line end only before an LF or at the text's end; alone it
// would let a line be printed over another.
#include <QByteArray>
#include <QString>

enum class PeerTextLines {
    Keep,   // TAB, LF and CR LF stay (a whole answer printed line by line)
    Escape, // only TAB stays (one field of a log line)
};

// `text` with every character above that it holds shown as an escape.
QString PeerText(const QString& text, PeerTextLines lines = PeerTextLines::Keep);
// The same for bytes: UTF-8 where valid, each byte of an invalid sequence shown as "\xNN".
QString PeerTextFromBytes(const QByteArray& bytes, PeerTextLines lines = PeerTextLines::Keep);
// True when PeerText would change nothing.
bool IsPlainPeerText(const QString& text, PeerTextLines lines = PeerTextLines::Keep);
