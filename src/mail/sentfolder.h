#pragma once
// The folder of kept copies as a private place. Its copies hold personal data and signed
// registrations, so it is made 0700 and its files 0600. It often lies in a working folder that
// others can write, so every name in it is opened relative to the opened folder and without
// following a symbolic link, and a folder that another user owns or may write is refused: nobody
// can make the program append to or create a file elsewhere.
#include "platform/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class SentFolder {
public:
    enum class Missing {
        Make,   // a missing folder is made (for writing)
        Accept, // a missing folder is an empty one (for reading)
    };

    // Opens the folder at `path`. Refused, with a text naming the folder: a symbolic link,
    // something that is no folder, a folder owned by another user or writable by its group or by
    // others. A folder of the user's that others may read or enter is closed to them.
    static Result<SentFolder> Open(const QString& path, Missing missing);

    SentFolder(SentFolder&& other) noexcept;
    SentFolder& operator=(SentFolder&& other) noexcept;
    SentFolder(const SentFolder&) = delete;
    SentFolder& operator=(const SentFolder&) = delete;
    ~SentFolder();

    const QString& Path() const { return path_; }
    QString FilePath(const QString& name) const { return path_ + '/' + name; }
    // False for a missing folder opened with Missing::Accept.
    bool Exists() const { return fd_ >= 0; }

    // Writes `bytes` as a new file (0600) under the first free name of `stem` + `extension`,
    // `stem` + "-2" + `extension`, ...: written whole and flushed to the disk under a temporary
    // name first, so that the name never shows a partial file, and never put over an existing
    // name (a link planted there included). Returns the name used.
    Result<QString> AddFile(const QString& stem, const QString& extension, const QByteArray& bytes);
    // Appends `line` to the file `name` (made 0600 when missing) in one write, flushed to the
    // disk; a short write (a full disk) is undone. Refused: a link, anything but a regular file of
    // the user's with one name.
    Done AppendLine(const QString& name, const QByteArray& line);
    // The file's bytes; a link or anything but a regular file is refused.
    Result<QByteArray> ReadFile(const QString& name) const;
    // Whether the folder holds an entry of that name (of any kind).
    bool Holds(const QString& name) const;
    // The names of the folder's entries, sorted.
    QStringList Names() const;

private:
    SentFolder(QString path, int fd) : path_(std::move(path)), fd_(fd) {}
    // "PATH: the system's reason" for the file `name` (the folder itself when empty).
    QString Reason(const QString& name, int error) const;
    void RemoveStaleTemporaries() const;

    QString path_;
    int fd_ = -1;
};
