#include "support/programsettings.h"

#include "store/setupsettings.h"
#include "support/tempdir.h"

#include <QCoreApplication>
#include <QFile>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
int depth = 0;
int lockFd = -1;
} // namespace

QString ProgramSettings::Path() {
    return SettingsFileFor(QCoreApplication::applicationFilePath());
}

ProgramSettings::ProgramSettings(std::optional<QByteArray> content) {
    if (depth++ > 0) {
        if (content) WriteAll(Path(), *content);
        return;
    }
    outermost_ = true;
    const QByteArray lock = QFile::encodeName(QCoreApplication::applicationFilePath() + ".lock");
    lockFd = ::open(lock.constData(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    if (lockFd >= 0) ::flock(lockFd, LOCK_EX);
    if (content)
        WriteAll(Path(), *content);
    else
        QFile::remove(Path());
}

ProgramSettings::~ProgramSettings() {
    --depth;
    if (!outermost_) return;
    QFile::remove(Path());
    if (lockFd >= 0) ::close(lockFd);
    lockFd = -1;
}
