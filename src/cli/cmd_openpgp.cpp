// regiscribe-cli sign / verify / keys / crypt: the PGP and CRYPT-PW schemes without a window.
#include "cli/command.h"
#include "cli/textinput.h"
#include "editing/crypthash.h"
#include "openpgp/openpgp.h"
#include "platform/fullstop.h"
#include "store/setupsettings.h"

#include <QDateTime>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {
int Fail(CliContext& c, const QString& text) {
    c.out.flush();
    c.err << WithFullStop(text) << '\n';
    return CliFailed;
}

// The lines of FILE, or of standard input when none is named.
QStringList InputLines(CliContext& c) {
    RejectUnknownOptions(c.args);
    c.args.removeAll("--");
    if (c.args.size() > 1) throw CliUsageError{"expects at most one FILE"};
    return TextLines(c.args.isEmpty() ? ReadStandardInput() : ReadFileBytes(c.args.front()));
}

int Sign(CliContext& c) {
    const QString key = TakeOption(c.args, "--key");
    const QString passphraseCommand = TakeOption(c.args, "--passphrase-command");
    try {
        const QStringList lines = InputLines(c);
        const QString signer = key.isEmpty() ? ReadSetup(c.settingsFile).openPgpKey : key;
        if (signer.isEmpty())
            return Fail(c, "No signing key: give --key or set \"OpenPGP Key\" in the settings "
                           "file");
        for (const QString& line : ClearSignLines(lines, signer, passphraseCommand))
            c.out << line << '\n';
        return CliOk;
    } catch (const Exception& e) {
        return Fail(c, e.Message());
    }
}

int Verify(CliContext& c) {
    RejectUnknownOptions(c.args);
    if (c.args.size() != 1) throw CliUsageError{"expects one FILE"};
    try {
        const OpenPgpVerdict verdict = VerifySignedText(SignedTextIn(ReadFileBytes(c.args[0])));
        if (verdict.kind == OpenPgpVerdict::Good) {
            c.out << VerdictText(verdict) << '\n';
            return CliOk;
        }
        return Fail(c, VerdictText(verdict));
    } catch (const Exception& e) {
        return Fail(c, e.Message());
    }
}

int Keys(CliContext& c) {
    RejectUnknownOptions(c.args);
    if (!c.args.isEmpty()) throw CliUsageError{"takes no arguments"};
    QString why;
    const auto keys = SigningKeys(&why);
    if (!keys) return Fail(c, why);
    for (const OpenPgpKey& key : *keys)
        c.out << key.fingerprint << '\t' << key.userId << '\t'
              << (key.expires ? QDateTime::fromSecsSinceEpoch(key.expires).toString("yyyy-MM-dd")
                              : QString("never"))
              << '\n';
    return CliOk;
}

// The password: standard input's first line, read without echo from a terminal.
QString ReadPassword() {
    const bool terminal = ::isatty(STDIN_FILENO);
    termios saved{};
    if (terminal && ::tcgetattr(STDIN_FILENO, &saved) == 0) {
        std::fputs("Password: ", stderr);
        std::fflush(stderr);
        termios quiet = saved;
        quiet.c_lflag &= tcflag_t(~ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    char buffer[4096];
    const bool got = std::fgets(buffer, sizeof buffer, stdin) != nullptr;
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::fputc('\n', stderr);
    }
    QByteArray line = got ? QByteArray(buffer) : QByteArray();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    const QString password = QString::fromUtf8(line);
    line.fill('\0');
    std::fill(std::begin(buffer), std::end(buffer), '\0');
    return password;
}

int Crypt(CliContext& c) {
    const QString method = TakeOption(c.args, "--method", "des");
    const QString salt = TakeOption(c.args, "--salt");
    RejectUnknownOptions(c.args);
    if (!c.args.isEmpty()) throw CliUsageError{"takes no arguments"};
    if (method != "des" && method != "md5")
        throw CliUsageError{"--method must be des or md5, not " + method};
    try {
        const QString password = ReadPassword();
        if (password.isEmpty()) return Fail(c, "No password was given");
        c.out << CryptHash(password, method == "md5" ? CryptMethod::Md5 : CryptMethod::Traditional,
                           salt)
              << '\n';
        return CliOk;
    } catch (const Exception& e) {
        return Fail(c, e.Message());
    }
}

const CliRegistration signCommand{
    {"sign", "regiscribe-cli sign [--key KEY] [--passphrase-command CMD] [FILE]", Sign}};
const CliRegistration verifyCommand{{"verify", "regiscribe-cli verify FILE", Verify}};
const CliRegistration keysCommand{{"keys", "regiscribe-cli keys", Keys}};
const CliRegistration cryptCommand{
    {"crypt", "regiscribe-cli crypt [--method des|md5] [--salt SALT]", Crypt}};
} // namespace
