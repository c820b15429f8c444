#include "templates/templatefiles.h"

#include "platform/atomicfile.h"
#include "platform/fileerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {
// Closes a descriptor on every path out of the writer.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};
} // namespace

QString KindFolderPath(RecordKind kind) {
    return QDir::currentPath() + "/" + KindFolderName(kind);
}

void RefuseUnsafeRecordName(const QString& name) {
    if (IsSafeRecordName(name)) return;
    if (HoldsControlCharacter(name))
        throw EInOutError(FileErrorCode(ENOENT),
                          FileErrorMessage(ENOENT) + QStringLiteral(": control characters"));
    RaiseFileError(ENOENT);
}

QString RecordFileBase(const QString& folder, const QString& name) {
    const QDir dir(folder);
    for (const char* extension : {".ini", ".txt"}) {
        const QString file = name + extension;
        if (QFileInfo(dir.filePath(file)).isFile()) return name;
        // Sorted, so that of several spellings the same one is always taken.
        const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
        for (const QString& entry : entries)
            if (entry.compare(file, Qt::CaseInsensitive) == 0)
                return entry.left(entry.size() - file.size() + name.size());
    }
    return name;
}

QString RecordFileOf(RecordKind kind, const QString& name) {
    const QString folder = KindFolderPath(kind);
    return folder + "/" + RecordFileBase(folder, name) + ".ini";
}

void PrepareTemplateFiles(RecordKind kind, const QString& name, TemplateFiles& files) {
    RefuseUnsafeRecordName(name);
    const QString folder = KindFolderPath(kind);
    // One level only; it usually exists already, and a real failure shows when the file is made.
    QDir().mkdir(folder);
    const QString base = folder + "/" + RecordFileBase(folder, name);
    files.formFile = base + ".txt";
    files.recordFile = base + ".ini";
}

QByteArray JoinTemplateLines(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

void WriteTextFile(const QString& path, const QByteArray& bytes) {
    // Replaced whole, so that a crash or a full disk never leaves half a template.
    if (!ReplaceFileAtomically(path, bytes)) RaiseFileError(errno);
}

QStringList ReadTextLines(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    Descriptor file{::open(native.constData(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) RaiseFileError(errno);
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            RaiseFileError(errno);
        }
        if (n == 0) break;
        bytes.append(buffer, n);
    }
    QString text = QString::fromUtf8(bytes);
    text.replace("\r\n", "\n");
    if (text.isEmpty()) return {};
    if (text.endsWith('\n')) text.chop(1);
    return text.split('\n');
}
