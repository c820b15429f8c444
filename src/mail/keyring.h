#pragma once
// Mail passwords in the desktop's Secret Service (through QtKeychain), never in a file: service
// "Regiscribe", key "smtp://" + user + "@" + the "Server" text. Each call waits for its answer
// while the event queue keeps flowing (at most ten seconds), so the window stays responsive.
#include <QString>
#include <optional>

// "smtp://jane@mail.example.org:587".
QString PasswordKey(const QString& user, const QString& server);

struct KeyringAnswer {
    bool ok = false;
    QString problem; // why it failed, in words; empty for a password that is simply not stored
};

// The stored password, or nothing (with the answer's problem when the keyring could not say).
std::optional<QString> ReadStoredPassword(const QString& user, const QString& server,
                                          KeyringAnswer* answer = nullptr);
KeyringAnswer StorePassword(const QString& user, const QString& server, const QString& password);
// Removing a password that is not stored succeeds.
KeyringAnswer ClearStoredPassword(const QString& user, const QString& server);
// Whether a keyring answers at all; `why` says why not.
bool KeyringAvailable(QString* why = nullptr);
