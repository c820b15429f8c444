#pragma once
// The window's mail passwords for as long as the program runs: typed in a dialog or read from the
// keyring once, kept in memory only, by the keyring's key (user and server).
#include <QHash>
#include <QString>
#include <optional>

class TMailPasswords {
public:
    std::optional<QString> Known(const QString& user, const QString& server) const;
    void Keep(const QString& user, const QString& server, const QString& password);
    void Forget(const QString& user, const QString& server);

private:
    QHash<QString, QString> passwords_;
};
