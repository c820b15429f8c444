#pragma once
// The application settings of the "Setup" section of the settings file: how and where the
// templates are mailed.
#include "platform/cuttext.h"

#include <QString>

struct SetupSettings {
    QString server;  // "Server": the SMTP server, host[:port]
    QString address; // "EMail Address": the sender's address, at most 255 characters
    QString name;    // "Name": the sender's name, at most 255 characters
    QString mailto;  // "Mailto": the mailbox the registrations go to
    // Secure submission: "Security" (empty, "None", "STARTTLS" or "TLS") and "User" (the login
    // name for AUTH). Empty in a file that never had them.
    QString security;
    QString user;
};

// The registry's hostmaster mailbox: the destination when the settings name none.
inline constexpr const char* HostmasterMailbox = "hostmaster@internic.net";

// The settings file of a program: its path with the extension replaced by ".ini", or ".ini"
// appended when the file name has none.
QString SettingsFileFor(const QString& programPath);

// Reads the four keys. A missing file or key gives empty text, except a missing "Mailto", which
// falls back to the hostmaster mailbox so that a first start can mail without any setup. The
// sender's address and name are cut to 255 characters.
SetupSettings ReadSetup(const QString& settingsFile);
// Writes "Server", "EMail Address", "Name" and "Mailto" in this order, then "Security" and
// "User", each only when it is not empty or the file holds it already, so that a user who never
// secured the mail keeps the four-key file; a failure stops at that key with "Unable to write to
// %s".
void WriteSetup(const QString& settingsFile, const SetupSettings& settings);
