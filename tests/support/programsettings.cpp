#include "support/programsettings.h"

#include "support/tempdir.h"

#include <QFile>
#include <QTemporaryDir>

namespace {
int depth = 0; // nested guards: the outermost one sets up and removes the file

// The folder of this process's settings file, removed when the process ends.
QTemporaryDir& OwnFolder() {
    static QTemporaryDir folder;
    return folder;
}
} // namespace

void ProgramSettings::UseOwnFile() {
    qputenv("REGISCRIBE_SETTINGS", QFile::encodeName(OwnFolder().filePath("regiscribe.ini")));
}

QString ProgramSettings::Path() {
    return qEnvironmentVariable("REGISCRIBE_SETTINGS");
}

ProgramSettings::ProgramSettings(std::optional<QByteArray> content) {
    if (depth++ > 0) {
        if (content) WriteAll(Path(), *content);
        return;
    }
    outermost_ = true;
    if (content)
        WriteAll(Path(), *content);
    else
        QFile::remove(Path());
}

ProgramSettings::~ProgramSettings() {
    --depth;
    if (outermost_) QFile::remove(Path());
}

QStringList FilesAndSettingsHolding(const QString& folder, const QByteArray& bytes) {
    QStringList holding = FilesHolding(folder, bytes);
    if (ReadAll(ProgramSettings::Path()).contains(bytes)) holding << ProgramSettings::Path();
    return holding;
}
