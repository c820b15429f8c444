#include "store/flagsetting.h"

#include "store/inifile.h"

FlagSetting ReadFlagSetting(const QString& settingsFile, const QString& section,
                            const QString& key) {
    const TIniFile ini(settingsFile);
    return {ini.ReadString(section, key, "0") == "1", ini.HasKey(section, key)};
}

void WriteFlagSetting(const QString& settingsFile, const QString& section, const QString& key,
                      const FlagSetting& read, bool value) {
    if (value == read.value && !read.present) return;
    TIniFile(settingsFile).WriteString(section, key, value ? "1" : "0");
}

TextSetting ReadTextSetting(const QString& settingsFile, const QString& section, const QString& key,
                            const QString& defaultValue) {
    const TIniFile ini(settingsFile);
    const QString value = ini.ReadString(section, key, QString());
    return {value.isEmpty() ? defaultValue : value, ini.HasKey(section, key)};
}

void WriteTextSetting(const QString& settingsFile, const QString& section, const QString& key,
                      const TextSetting& read, const QString& value) {
    if (value == read.value && !read.present) return;
    TIniFile(settingsFile).WriteString(section, key, value);
}
