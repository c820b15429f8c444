#pragma once
// The files of the replies, kept beside the sent copies (sent/replies.state, sent/replies.log,
// sent/replies/): readable by the user alone, and never written through a symbolic link, which
// could make the program write where it should not.
#include "platform/result.h"

#include <QByteArray>
#include <QString>

// Makes the folder (0700) when missing; a symbolic link or a file in its place is refused.
Done MakePrivateFolder(const QString& path);
// Writes a new file (0600) whole and to the disk; false (Ok) when a file of that name exists.
Result<bool> WriteNewPrivateFile(const QString& path, const QByteArray& bytes);
// Appends one line (0600 when new) in one write, so that no crash leaves half of it.
Done AppendPrivateLine(const QString& path, const QByteArray& line);
// Replaces the file (0600) through a temporary file and a rename: the old text or the new.
Done ReplacePrivateFile(const QString& path, const QByteArray& bytes);
// The file's bytes (at most `limit`), empty when there is no file; a symbolic link is refused.
Result<QByteArray> ReadPrivateFile(const QString& path, qint64 limit = 64LL << 20);
