#include "platform/atomicfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The file a write should replace: the target of a symbolic link (followed to its end), else the
// path itself.
QByteArray FinalTarget(const QString& path) {
    QByteArray target = QFile::encodeName(path);
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(target.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
        char buffer[PATH_MAX];
        ssize_t n = readlink(target.constData(), buffer, sizeof buffer - 1);
        if (n <= 0) return target;
        QByteArray link(buffer, n);
        if (!link.startsWith('/')) {
            qsizetype slash = target.lastIndexOf('/');
            link = (slash < 0 ? QByteArray() : target.left(slash + 1)) + link;
        }
        target = link;
    }
    return target;
}

QByteArray FolderOf(const QByteArray& file) {
    qsizetype slash = file.lastIndexOf('/');
    if (slash < 0) return ".";
    if (slash == 0) return "/";
    return file.left(slash);
}

mode_t NewFileMode() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool WriteWhole(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        ssize_t n = write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// Removes what writers of this file that were killed before their rename left: files named
// `prefix` and six more characters, untouched for a minute (a writer still at work in another
// process is never that slow, and its file is left alone).
void RemoveStaleTemporaries(const QByteArray& folder, const QByteArray& prefix) {
    DIR* dir = opendir(folder.constData());
    if (!dir) return;
    const time_t now = time(nullptr);
    while (const dirent* entry = readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.size() != prefix.size() + 6 || !name.startsWith(prefix)) continue;
        const QByteArray path = folder + "/" + name;
        struct stat st;
        if (lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && now - st.st_mtime > 60)
            unlink(path.constData());
    }
    closedir(dir);
}
} // namespace

bool MayWriteFile(const QString& path) {
    QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (stat(name.constData(), &st) != 0) return false;
    if (!S_ISREG(st.st_mode)) {
        errno = EISDIR;
        return false;
    }
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(name.constData(), W_OK) != 0) {
        errno = EACCES;
        return false;
    }
    return true;
}

bool ReplaceFileAtomically(const QString& path, const QByteArray& bytes) {
    const QByteArray target = FinalTarget(path);
    struct stat old;
    const bool exists = stat(target.constData(), &old) == 0;
    if (exists && !MayWriteFile(QFile::decodeName(target))) return false;

    const QByteArray folder = FolderOf(target);
    // The temporary name carries the file's name, cut (between characters) so that it stays
    // within the longest name a folder takes even when the file's own name is near it.
    QByteArray base = target.mid(target.lastIndexOf('/') + 1);
    if (base.size() > 200) {
        base.truncate(200);
        while (!base.isEmpty() && (uchar(base.back()) & 0xC0) == 0x80)
            base.chop(1);
        if (!base.isEmpty() && uchar(base.back()) >= 0xC0) base.chop(1);
    }
    QByteArray temp = folder + "/." + base + ".XXXXXX";
    int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;

    // The data reaches the disk before the rename, so the name never refers to a file whose
    // contents are still missing.
    bool ok = WriteWhole(fd, bytes) && fdatasync(fd) == 0;
    if (ok) {
        if (exists) {
            ok = fchmod(fd, old.st_mode & 07777) == 0;
            if (ok && fchown(fd, old.st_uid, old.st_gid) != 0) {
                // Only a privileged user may give a file away; keeping the group is best effort.
                if (fchown(fd, uid_t(-1), old.st_gid) != 0) errno = 0;
            }
        } else {
            ok = fchmod(fd, NewFileMode()) == 0;
        }
    }
    int saved = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (ok && rename(temp.constData(), target.constData()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        unlink(temp.constData());
        errno = saved;
        return false;
    }
    // The folder is not synced: after a power loss the rename may be undone, which leaves the
    // old file whole, and syncing it would double the cost of every key written.
    RemoveStaleTemporaries(folder, temp.mid(folder.size() + 1, temp.size() - folder.size() - 7));
    return true;
}

bool AppendLineAtomically(const QString& path, const QByteArray& line) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    struct stat before {};
    fstat(fd, &before);
    ssize_t n;
    do {
        n = write(fd, line.constData(), size_t(line.size()));
    } while (n < 0 && errno == EINTR);
    int saved = errno;
    bool ok = n == line.size();
    if (!ok && n >= 0) {
        // Never leave part of a line behind: the next line would be joined to it.
        // A short write is a full disk.
        saved = ENOSPC;
        if (ftruncate(fd, before.st_size) != 0) saved = errno;
    }
    if (ok && fsync(fd) != 0) {
        saved = errno;
        ok = false;
    }
    close(fd);
    errno = saved;
    return ok;
}
