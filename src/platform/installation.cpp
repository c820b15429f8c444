#include "platform/installation.h"

#include <QDir>
#include <QFileInfo>

bool IsInstalledProgram(const QString& programPath) {
    const QDir folder = QFileInfo(programPath).absoluteDir();
    if (folder.dirName() != "bin") return false;
    return QFileInfo::exists(
        folder.filePath(QString("../share/applications/") + DesktopEntryId + ".desktop"));
}
