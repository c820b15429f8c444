#include "mail/tempfilestream.h"

#include "platform/fileerror.h"

#include <QDir>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

TTempFileStream::TTempFileStream(const QString& prefix) {
    QByteArray pattern = QFile::encodeName(QDir::tempPath() + '/' + prefix) + "XXXXXX";
    // mkstemp creates the file with mode 0600 and never reuses an existing name.
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) RaiseFileError(errno);
    path_ = QFile::decodeName(pattern);
    if (!open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
        int e = errno ? errno : EIO;
        ::close(fd);
        ::unlink(pattern.constData());
        RaiseFileError(e);
    }
}

TTempFileStream::~TTempFileStream() {
    close();
    // A failure to delete is ignored.
    ::unlink(QFile::encodeName(path_).constData());
}
