#pragma once
// The application settings of the "Setup" section of the settings file: how and where the
// templates are mailed.
#include "platform/cuttext.h"
#include "platform/installation.h"

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
    // "OpenPGP Key": the fingerprint of the key that signs templates whose scheme is PGP; empty
    // for none (the PGP box then shows, as without signing).
    QString openPgpKey;
};

// The registry's hostmaster mailbox: the destination when the settings name none.
inline constexpr const char* HostmasterMailbox = "hostmaster@internic.net";

// The settings file of a program: its path with the extension replaced by ".ini", or ".ini"
// appended when the file name has none.
QString SettingsFileFor(const QString& programPath);

// Where the settings file lies:
//  1. `beside` (the file beside the program), when it exists;
//  2. `beside` as well when the program is not installed and its folder may be written (the build
//     folder, a portable copy);
//  3. otherwise $XDG_CONFIG_HOME/regiscribe/regiscribe.ini (~/.config/... by default), its folder
//     made when missing: an installed program's folder is no place for one user's settings.
QString SettingsFileLocation(const QString& programPath, const QString& beside);
// The same for the window program (beside: SettingsFileFor; a file named in REGISCRIBE_SETTINGS
// instead, for a second set of settings or a test's own) and for the companion (beside:
// "regiscribe.ini" in its folder; its --settings names another).
QString WindowSettingsFile(const QString& programPath);
QString CompanionSettingsFile(const QString& programPath);

// Reads the four keys. A missing file or key gives empty text, except a missing "Mailto", which
// falls back to the hostmaster mailbox so that a first start can mail without any setup. The
// sender's address and name are cut to 255 characters.
SetupSettings ReadSetup(const QString& settingsFile);
// Writes "Server", "EMail Address", "Name" and "Mailto" in this order, then "Security", "User" and
// "OpenPGP Key", each only when it is not empty or the file holds it already, so that a user who
// never secured the mail keeps the four-key file. All of them are written in one replacement of the
// file; a failure writes none and raises "Unable to write to %s".
void WriteSetup(const QString& settingsFile, const SetupSettings& settings);
