#include "store/setupsettings.h"

#include "store/inifile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const char* const Section = "Setup";
}

QString SettingsFileFor(const QString& programPath) {
    const QFileInfo info(programPath);
    const QString fileName = info.fileName();
    const qsizetype dot = fileName.lastIndexOf('.');
    const QString base = dot > 0 ? fileName.left(dot) : fileName;
    const QString folder = programPath.left(programPath.size() - fileName.size());
    return folder + base + ".ini";
}

QString SettingsFileLocation(const QString& programPath, const QString& beside) {
    if (QFileInfo::exists(beside)) return beside;
    const QFileInfo folder(QFileInfo(programPath).absolutePath());
    if (!IsInstalledProgram(programPath) && folder.isWritable()) return beside;
    const QString config =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/regiscribe";
    QDir().mkpath(config);
    return config + "/regiscribe.ini";
}

QString WindowSettingsFile(const QString& programPath) {
    const QString chosen = qEnvironmentVariable("REGISCRIBE_SETTINGS");
    if (!chosen.isEmpty()) return chosen;
    return SettingsFileLocation(programPath, SettingsFileFor(programPath));
}

QString CompanionSettingsFile(const QString& programPath) {
    return SettingsFileLocation(programPath,
                                QFileInfo(programPath).absoluteDir().filePath("regiscribe.ini"));
}

SetupSettings ReadSetup(const QString& settingsFile) {
    TIniFile ini(settingsFile);
    SetupSettings s;
    s.mailto = ini.ReadString(Section, "Mailto", HostmasterMailbox);
    s.server = ini.ReadString(Section, "Server", QString());
    s.address = CutText(ini.ReadString(Section, "EMail Address", QString()), 255);
    s.name = CutText(ini.ReadString(Section, "Name", QString()), 255);
    s.security = ini.ReadString(Section, "Security", QString());
    s.user = ini.ReadString(Section, "User", QString());
    s.openPgpKey = ini.ReadString(Section, "OpenPGP Key", QString());
    return s;
}

void WriteSetup(const QString& settingsFile, const SetupSettings& settings) {
    const TIniFile ini(settingsFile);
    std::vector<TIniFile::KeyValue> values{{"Server", settings.server},
                                           {"EMail Address", settings.address},
                                           {"Name", settings.name},
                                           {"Mailto", settings.mailto}};
    for (const auto& [key, value] :
         {std::pair<const char*, const QString&>{"Security", settings.security},
          {"User", settings.user},
          {"OpenPGP Key", settings.openPgpKey}})
        if (!value.isEmpty() || ini.HasKey(Section, key)) values.push_back({key, value});
    // One replacement: the file keeps the old settings or gets all the new ones.
    ini.WriteStrings(Section, values);
}
