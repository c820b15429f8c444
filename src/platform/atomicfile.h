#pragma once
// Replacing a whole file so that a crash, a kill or a full disk at any moment leaves either the old
// contents or the new, never a mixture or a truncated file.
#include <QByteArray>
#include <QString>

// True when the user may change the file at `path` as the platform's read-only rule allows: the
// file system grants write access and the file carries at least one write permission bit. The
// bits are checked here because a privileged user is granted access to read-only files too.
bool MayWriteFile(const QString& path);

// Writes `bytes` into a temporary file in the same folder as `path`, flushes it to the disk and
// renames it over `path`. An existing file keeps its permissions (and, where allowed, its owner);
// a new one gets the usual permissions of a new file. A symbolic link is followed, so the link
// stays and its target is replaced. A file that may not be written (MayWriteFile) is refused.
// Returns false with errno set on failure; `path` is then left exactly as it was.
bool ReplaceFileAtomically(const QString& path, const QByteArray& bytes);

// Appends `line` (with its line end) to the file at `path`, creating it, in one write: a crash or
// kill leaves the whole line or none of it. A short write (a full disk) is undone. Returns false
// with errno set on failure.
bool AppendLineAtomically(const QString& path, const QByteArray& line);
