#include "cli/securemail.h"

#include "cli/command.h"
#include "cli/textinput.h"
#include "mail/keyring.h"
#include "mail/mssmtp.h"
#include "platform/shellcommand.h"

#include <unistd.h>

// The first line the command prints, run by /bin/sh -c.
QString PasswordFromCommand(const QString& command) {
    const Result<QByteArray> line = SecretFromCommand(command, "password command");
    if (!line) throw EMailSecurityError(line.Error());
    return QString::fromUtf8(line.Value());
}

std::optional<QString> PasswordFromTerminal(const QString& user, const QString& server) {
    if (!::isatty(STDIN_FILENO)) return std::nullopt;
    const std::optional<QByteArray> typed =
        ReadSecretLine("Password for " + user + " at " + server + ": ");
    if (!typed) return std::nullopt;
    return QString::fromUtf8(*typed);
}

SecureMailOptions TakeSecureMailOptions(QStringList& args, bool withSecurityAndUser) {
    SecureMailOptions o;
    if (withSecurityAndUser) {
        const QString security = TakeOption(args, "--security");
        if (!security.isEmpty()) {
            o.security = SecurityFromName(security);
            if (!o.security || security.isEmpty())
                throw CliUsageError{"--security must be none, starttls or tls, not " + security};
        }
        const QStringList users = TakeOptionValues(args, "--user");
        if (users.size() > 1) throw CliUsageError{"--user given more than once"};
        if (!users.isEmpty()) o.user = users.front();
    }
    o.passwordCommand = TakeOption(args, "--password-command");
    o.trace = TakeFlag(args, "--trace");
    return o;
}

void ApplySecureMail(TmsSMTP& smtp, const SecureMailOptions& options, QTextStream& err) {
    if (options.security) smtp.SetSecurity(*options.security);
    if (options.user) smtp.SetUser(*options.user);
    if (options.trace)
        smtp.OnTrace = [&err](const QString& line) {
            err << line << '\n';
            err.flush();
        };
    // A password is looked for only when it would be sent, over an encrypted connection.
    if (smtp.User().isEmpty() || smtp.Security() == TMailSecurity::None) return;
    const QString user = smtp.User(), server = smtp.Server();
    if (!options.passwordCommand.isEmpty()) {
        smtp.SetPassword(PasswordFromCommand(options.passwordCommand));
        return;
    }
    if (const auto stored = ReadStoredPassword(user, server)) {
        smtp.SetPassword(*stored);
        return;
    }
    if (const auto typed = PasswordFromTerminal(user, server)) {
        smtp.SetPassword(*typed);
        return;
    }
    throw EMailSecurityError(NoPasswordText(user, server));
}
