#pragma once
// How the pieces of a server's answer become the lines an answer view shows. Servers answer in
// bytes of any encoding: each line is decoded as UTF-8 when it is valid UTF-8 and as Latin-1
// otherwise, one line at a time. A piece cut at a full receive buffer may end inside a UTF-8
// character; those bytes wait for the next piece, so no character is split between two lines.
// With an LF terminator, the CR of a CR LF line end is not shown; any other CR shows as the
// symbol for a carriage return, since a view would otherwise break the line there.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

class AnswerText {
public:
    // `lfTerminated`: the lines were cut at LF alone, so a CR before it is part of the line end.
    explicit AnswerText(bool lfTerminated = true) : lfTerminated_(lfTerminated) {}
    void SetLfTerminated(bool on) { lfTerminated_ = on; }

    // The bytes of the line to show for a piece (OnDataIn's text and EOL flag), or nothing while
    // the piece's bytes wait for the rest of their character. The view is valid until the next
    // call or the piece's end, whichever comes first.
    std::optional<QByteArrayView> Line(QByteArrayView piece, bool eol);
    // Bytes still waiting when the answer ends, as a line of their own.
    std::optional<QByteArray> Finish();
    void Clear() { waiting_.clear(); }

private:
    QByteArray waiting_;
    QByteArray joined_; // the waiting bytes and the next piece
    bool lfTerminated_;
};

// True when `bytes` is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(QByteArrayView bytes);
// The number of bytes at the end of `bytes` that begin a UTF-8 character without finishing it
// (0 to 3), provided everything before them is valid UTF-8; 0 otherwise.
int IncompleteUtf8Tail(QByteArrayView bytes);
// UTF-8 when valid, else Latin-1; control characters other than tab shown as themselves except a
// CR, which shows as U+240D.
QString DecodeAnswerLine(QByteArrayView bytes);
// The same decoding with every character as received (a CR stays a CR): the text that is read,
// not shown.
QString DecodeAnswerBytes(QByteArrayView bytes);
