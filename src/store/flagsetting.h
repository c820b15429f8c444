#pragma once
// Settings added beside the described ones, written only once the user changed them or when the
// file holds them already, so that a user who never touches them keeps the settings file as it
// was: an on/off flag ("1" or "0") and a text.
#include <QString>

struct FlagSetting {
    bool value = false;
    bool present = false; // the file holds the key
};

FlagSetting ReadFlagSetting(const QString& settingsFile, const QString& section,
                            const QString& key);
// Writes `value` when it differs from `read` or the file held the key; raises the file error.
void WriteFlagSetting(const QString& settingsFile, const QString& section, const QString& key,
                      const FlagSetting& read, bool value);

struct TextSetting {
    QString value;
    bool present = false; // the file holds the key
};

// The file's text, or `defaultValue` when it holds none (or an empty one).
TextSetting ReadTextSetting(const QString& settingsFile, const QString& section, const QString& key,
                            const QString& defaultValue);
// Writes `value` when it differs from `read` or the file held the key; raises the file error.
void WriteTextSetting(const QString& settingsFile, const QString& section, const QString& key,
                      const TextSetting& read, const QString& value);
