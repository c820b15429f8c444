#pragma once
// An on/off setting ("1" or "0") that is written only once the user changed it or when the file
// holds it already, so that a user who never touches it keeps the settings file as it was.
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
