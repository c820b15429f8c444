#include "cli/securemail.h"

#include "cli/command.h"
#include "mail/keyring.h"
#include "mail/mssmtp.h"
#include "platform/shellcommand.h"

#include <cstdio>
#include <termios.h>
#include <unistd.h>

QString PasswordFromCommand(const QString& command) {
    const ShellCommandResult run = RunShellCommand(command, 60000);
    if (!run.finished) throw EMailSecurityError("The password command failed (it did not finish).");
    if (run.exitStatus != 0)
        throw EMailSecurityError("The password command failed (exit status " +
                                 QString::number(run.exitStatus) + ").");
    return QString::fromUtf8(FirstLine(run.output));
}

std::optional<QString> PasswordFromTerminal(const QString& user, const QString& server) {
    if (!::isatty(STDIN_FILENO)) return std::nullopt;
    std::fprintf(stderr, "Password for %s at %s: ", user.toLocal8Bit().constData(),
                 server.toLocal8Bit().constData());
    std::fflush(stderr);
    termios saved{};
    const bool quiet = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (quiet) {
        termios noEcho = saved;
        noEcho.c_lflag &= tcflag_t(~ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &noEcho);
    }
    char buffer[1024];
    const bool got = std::fgets(buffer, sizeof buffer, stdin) != nullptr;
    if (quiet) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputc('\n', stderr);
    if (!got) return std::nullopt;
    QByteArray line(buffer);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
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
