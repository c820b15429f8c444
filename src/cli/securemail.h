#pragma once
// The companion's secure-submission options, shared by `send` and `submit`: the connection's
// security, the login name, where the password comes from, and a trace of the dialogue.
#include "mail/mailsecurity.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

class TmsSMTP;

struct SecureMailOptions {
    std::optional<TMailSecurity> security; // --security none|starttls|tls
    std::optional<QString> user;           // --user NAME
    QString passwordCommand;               // --password-command CMD
    bool trace = false;                    // --trace
};

// The first line the command prints, run by /bin/sh -c; raises EMailSecurityError "The password
// command failed (...)" without the command's text (it may hold a secret).
QString PasswordFromCommand(const QString& command);
// Asks on the terminal without echo; nothing when standard input is no terminal.
std::optional<QString> PasswordFromTerminal(const QString& user, const QString& server);

// Takes the options out of `args`; `withSecurityAndUser` is false for `submit`, which takes them
// from the settings file.
SecureMailOptions TakeSecureMailOptions(QStringList& args, bool withSecurityAndUser);

// Sets the client's security and user and, when it signs in, its password: from the command's
// first line of output, else the keyring, else a prompt without echo when standard input is a
// terminal; else it fails with "No password for USER at SERVER.". With --trace the dialogue goes
// to `err`, the AUTH payloads as "****".
void ApplySecureMail(TmsSMTP& smtp, const SecureMailOptions& options, QTextStream& err);
