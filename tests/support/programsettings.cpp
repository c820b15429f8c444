#include "support/programsettings.h"

#include "store/setupsettings.h"
#include "support/tempdir.h"

#include <QCoreApplication>
#include <QFile>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
int depth = 0;     // nested guards: the outermost one sets up and removes the file
int lockHolds = 0; // guards and the process itself holding the turn
int lockFd = -1;

void TakeTurn() {
    if (lockHolds++ > 0) return;
    const QByteArray lock = QFile::encodeName(QCoreApplication::applicationFilePath() + ".lock");
    lockFd = ::open(lock.constData(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    if (lockFd >= 0) ::flock(lockFd, LOCK_EX);
}

void GiveTurn() {
    if (--lockHolds > 0) return;
    if (lockFd >= 0) ::close(lockFd);
    lockFd = -1;
}
} // namespace

void ProgramSettings::HoldTurnForProcess() {
    TakeTurn();
    QFile::remove(Path());
}

QString ProgramSettings::Path() {
    return SettingsFileFor(QCoreApplication::applicationFilePath());
}

ProgramSettings::ProgramSettings(std::optional<QByteArray> content) {
    if (depth++ > 0) {
        if (content) WriteAll(Path(), *content);
        return;
    }
    outermost_ = true;
    TakeTurn();
    if (content)
        WriteAll(Path(), *content);
    else
        QFile::remove(Path());
}

ProgramSettings::~ProgramSettings() {
    --depth;
    if (!outermost_) return;
    QFile::remove(Path());
    GiveTurn();
}

QStringList FilesAndSettingsHolding(const QString& folder, const QByteArray& bytes) {
    QStringList holding = FilesHolding(folder, bytes);
    if (ReadAll(ProgramSettings::Path()).contains(bytes)) holding << ProgramSettings::Path();
    return holding;
}
