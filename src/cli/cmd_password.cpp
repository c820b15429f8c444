// regiscribe-cli password set|clear: a mail password in the desktop's keyring.
#include "cli/command.h"
#include "cli/textinput.h"
#include "mail/keyring.h"

namespace {
const char* const kUsage = "regiscribe-cli password set|clear --server HOST[:PORT] --user NAME";

int RunPassword(CliContext& c) {
    const QString server = TakeOption(c.args, "--server");
    const QString user = TakeOption(c.args, "--user");
    RejectUnknownOptions(c.args);
    c.args.removeAll("--");
    if (c.args.size() != 1 || (c.args.front() != "set" && c.args.front() != "clear"))
        throw CliUsageError{"expects set or clear"};
    if (server.isEmpty()) throw CliUsageError{"--server is needed"};
    if (user.isEmpty()) throw CliUsageError{"--user is needed"};
    KeyringAnswer answer;
    if (c.args.front() == "set") {
        // Typed at a prompt without echo, else the first line of standard input.
        QByteArray line =
            ReadSecretLine("Password for " + user + " at " + server + ": ").value_or(QByteArray());
        if (line.isEmpty()) {
            c.err << "No password on standard input.\n";
            return CliFailed;
        }
        answer = StorePassword(user, server, QString::fromUtf8(line));
        line.fill('\0');
    } else {
        answer = ClearStoredPassword(user, server);
    }
    if (!answer.ok) {
        c.err << answer.problem << ".\n";
        return CliFailed;
    }
    return CliOk;
}

CliRegistration registration({"password", kUsage, RunPassword});
} // namespace
