#pragma once
// A new, empty file in the system's temporary folder, named by the system with a prefix, readable
// and writable by its owner only; the file is deleted when the stream is freed.
#include <QFile>
#include <QString>

class TTempFileStream : public QFile {
public:
    // Creates and opens the file; a failure raises the file error.
    explicit TTempFileStream(const QString& prefix);
    ~TTempFileStream() override;
    TTempFileStream(const TTempFileStream&) = delete;
    TTempFileStream& operator=(const TTempFileStream&) = delete;

    const QString& Path() const { return path_; }

private:
    QString path_;
};
