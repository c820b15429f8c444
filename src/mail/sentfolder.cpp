#include "mail/sentfolder.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {
const char kTemporaryPrefix[] = ".part-";
// A writer killed before its rename leaves a temporary; one untouched this long is nobody's.
constexpr time_t kStaleSeconds = 60;

QString SystemText(int error) {
    return qt_error_string(error);
}

// Closes a descriptor on every path out.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

bool WriteWhole(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

QByteArray TemporaryName() {
    return kTemporaryPrefix + QByteArray::number(QRandomGenerator::system()->generate64(), 16);
}

// Whether `st` describes a regular file of the user's with one name; why not, else.
Done VerifyPrivateFile(const struct stat& st) {
    if (!S_ISREG(st.st_mode)) return Fail("is not a regular file");
    if (st.st_uid != ::geteuid()) return Fail("belongs to another user");
    if (st.st_nlink != 1) return Fail("has another name (a hard link)");
    return {};
}
} // namespace

Result<SentFolder> SentFolder::Open(const QString& path, Missing missing) {
    const QByteArray native = QFile::encodeName(path);
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(native.constData(), flags);
    if (fd < 0 && errno == ENOENT) {
        if (missing == Missing::Accept) return SentFolder(path, -1);
        if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
            return Fail(path + ": " + SystemText(errno));
        fd = ::open(native.constData(), flags);
    }
    if (fd < 0) {
        const int error = errno;
        struct stat st;
        if (::lstat(native.constData(), &st) == 0 && S_ISLNK(st.st_mode))
            return Fail(path + " is a symbolic link");
        return Fail(path + ": " + SystemText(error));
    }
    SentFolder folder(path, fd);
    struct stat st;
    if (::fstat(fd, &st) != 0) return Fail(path + ": " + SystemText(errno));
    // Whoever else owns or may write the folder can put links into it, or swap its files.
    if (st.st_uid != ::geteuid()) return Fail(path + " belongs to another user");
    if (st.st_mode & (S_IWGRP | S_IWOTH)) return Fail(path + " can be written by other users");
    // Closed to others; the user's own bits stay as the user set them.
    if ((st.st_mode & 077) != 0 && ::fchmod(fd, st.st_mode & 0700) != 0)
        return Fail(path + ": " + SystemText(errno));
    return folder;
}

SentFolder::SentFolder(SentFolder&& other) noexcept
    : path_(std::move(other.path_)), fd_(other.fd_) {
    other.fd_ = -1;
}

SentFolder& SentFolder::operator=(SentFolder&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        path_ = std::move(other.path_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

SentFolder::~SentFolder() {
    if (fd_ >= 0) ::close(fd_);
}

QString SentFolder::Reason(const QString& name, int error) const {
    return (name.isEmpty() ? path_ : FilePath(name)) + ": " + SystemText(error);
}

Result<QString> SentFolder::AddFile(const QString& stem, const QString& extension,
                                    const QByteArray& bytes) {
    if (fd_ < 0) return Fail(Reason(QString(), ENOENT));
    const QByteArray temporary = TemporaryName();
    Descriptor file{::openat(fd_, temporary.constData(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)};
    if (file.fd < 0) return Fail(Reason(stem + extension, errno));
    // The data reaches the disk before the file gets its name, so the name never shows a file
    // whose contents are still missing.
    bool written = WriteWhole(file.fd, bytes) && ::fdatasync(file.fd) == 0;
    int error = errno;
    const int fd = std::exchange(file.fd, -1);
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    QString name = stem + extension;
    if (!written) {
        ::unlinkat(fd_, temporary.constData(), 0);
        return Fail(Reason(name, error));
    }
    // A second name for the written file: linkat never replaces an existing entry, a planted
    // link included, and never follows one.
    for (int n = 2;; ++n) {
        const QByteArray native = QFile::encodeName(name);
        if (::linkat(fd_, temporary.constData(), fd_, native.constData(), 0) == 0) break;
        if (errno != EEXIST || n > 9999) {
            error = errno;
            ::unlinkat(fd_, temporary.constData(), 0);
            return Fail(Reason(name, error));
        }
        name = stem + '-' + QString::number(n) + extension;
    }
    ::unlinkat(fd_, temporary.constData(), 0);
    RemoveStaleTemporaries();
    return name;
}

Done SentFolder::AppendLine(const QString& name, const QByteArray& line) {
    if (fd_ < 0) return Fail(Reason(name, ENOENT));
    const QByteArray native = QFile::encodeName(name);
    // Non-blocking, so that a pipe planted under the name cannot hold the program.
    Descriptor file{::openat(fd_, native.constData(),
                             O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                             0600)};
    if (file.fd < 0) {
        if (errno == ELOOP) return Fail(FilePath(name) + " is a symbolic link");
        return Fail(Reason(name, errno));
    }
    struct stat before;
    if (::fstat(file.fd, &before) != 0) return Fail(Reason(name, errno));
    if (const Done own = VerifyPrivateFile(before); !own)
        return Fail(FilePath(name) + ' ' + own.Error());
    ssize_t n;
    do {
        n = ::write(file.fd, line.constData(), size_t(line.size()));
    } while (n < 0 && errno == EINTR);
    int error = errno;
    if (n >= 0 && n != line.size()) {
        // Never leave part of a line behind: the next line would be joined to it. A short write
        // is a full disk.
        error = ENOSPC;
        if (::ftruncate(file.fd, before.st_size) != 0) error = errno;
        return Fail(Reason(name, error));
    }
    if (n < 0) return Fail(Reason(name, error));
    if (::fsync(file.fd) != 0) return Fail(Reason(name, errno));
    return {};
}

Result<QByteArray> SentFolder::ReadFile(const QString& name) const {
    if (fd_ < 0) return Fail(Reason(name, ENOENT));
    const QByteArray native = QFile::encodeName(name);
    Descriptor file{
        ::openat(fd_, native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0) {
        if (errno == ELOOP) return Fail(FilePath(name) + " is a symbolic link");
        return Fail(Reason(name, errno));
    }
    struct stat st;
    if (::fstat(file.fd, &st) != 0) return Fail(Reason(name, errno));
    if (!S_ISREG(st.st_mode)) return Fail(FilePath(name) + " is not a regular file");
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Fail(Reason(name, errno));
        }
        if (n == 0) break;
        bytes.append(buffer, n);
    }
    return bytes;
}

bool SentFolder::Holds(const QString& name) const {
    struct stat st;
    return fd_ >= 0 &&
           ::fstatat(fd_, QFile::encodeName(name).constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

QStringList SentFolder::Names() const {
    QStringList names;
    if (fd_ < 0) return names;
    // The directory stream takes its own descriptor, so the folder's stays open.
    const int copy = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (copy < 0) return names;
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..") names << QFile::decodeName(name);
    }
    ::closedir(dir);
    names.sort();
    return names;
}

void SentFolder::RemoveStaleTemporaries() const {
    const time_t now = ::time(nullptr);
    for (const QString& name : Names()) {
        if (!name.startsWith(QLatin1String(kTemporaryPrefix))) continue;
        const QByteArray native = QFile::encodeName(name);
        struct stat st;
        if (::fstatat(fd_, native.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && now - st.st_mtime > kStaleSeconds)
            ::unlinkat(fd_, native.constData(), 0);
    }
}
