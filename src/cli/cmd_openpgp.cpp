// regiscribe-cli sign / verify / keys / crypt: the PGP and CRYPT-PW schemes without a window.
#include "cli/command.h"
#include "cli/textinput.h"
#include "editing/crypthash.h"
#include "mail/signedparts.h"
#include "openpgp/openpgp.h"
#include "platform/fileerror.h"
#include "platform/fullstop.h"
#include "platform/peertext.h"
#include "store/setupsettings.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
int Fail(CliContext& c, const QString& text) {
    c.out.flush();
    c.err << WithFullStop(text) << '\n';
    return CliFailed;
}

// Copies the whole of `from` to standard output.
void CopyToStandardOutput(CliContext& c, QIODevice& from) {
    c.out.flush();
    from.seek(0);
    char buffer[1 << 16];
    for (qint64 n; (n = from.read(buffer, sizeof buffer)) > 0;)
        std::fwrite(buffer, 1, size_t(n), stdout);
    std::fflush(stdout);
}

int Sign(CliContext& c) {
    const QString key = TakeOption(c.args, "--key");
    const QString passphraseCommand = TakeOption(c.args, "--passphrase-command");
    RejectUnknownOptions(c.args);
    c.args.removeAll("--");
    if (c.args.size() > 1) throw CliUsageError{"expects at most one FILE"};
    try {
        const int fd = c.args.isEmpty() ? STDIN_FILENO
                                        : ::open(QFile::encodeName(c.args.front()).constData(),
                                                 O_RDONLY | O_CLOEXEC);
        if (fd < 0) RaiseFileError(errno);
        QFile in;
        in.open(fd, QIODevice::ReadOnly,
                c.args.isEmpty() ? QFile::DontCloseHandle : QFile::AutoCloseHandle);
        const QString signer = key.isEmpty() ? ReadSetup(c.settingsFile).openPgpKey : key;
        if (signer.isEmpty())
            return Fail(c, "No signing key: give --key or set \"OpenPGP Key\" in the settings "
                           "file");
        // Streamed through a file of its own: a failure at the end (a refused passphrase)
        // leaves nothing half signed on standard output.
        QTemporaryFile out;
        if (!out.open()) return Fail(c, "No temporary file could be made: " + out.errorString());
        const Result<void> made = ClearSign(in, out, SigningKeyChoice{signer}, passphraseCommand);
        if (!made) return Fail(c, made.Error());
        CopyToStandardOutput(c, out);
        return CliOk;
    } catch (const Exception& e) {
        return Fail(c, e.Message());
    }
}

// "2 lines before and 1 line after the signed part are NOT signed."
QString UnsignedNotice(const SignedParts& found) {
    QStringList pieces;
    const auto lines = [](qsizetype n, const char* where) {
        return QString::number(n) + (n == 1 ? " line " : " lines ") + where;
    };
    if (found.linesBefore) pieces << lines(found.linesBefore, "before");
    if (found.linesBetween) pieces << lines(found.linesBetween, "between");
    if (found.linesAfter) pieces << lines(found.linesAfter, "after");
    if (pieces.isEmpty()) return QString();
    const QString last = pieces.takeLast();
    const QString all = pieces.isEmpty() ? last : pieces.join(", ") + " and " + last;
    const qsizetype total = found.linesBefore + found.linesBetween + found.linesAfter;
    return all + (found.parts.size() == 1 ? " the signed part " : " the signed parts ") +
           (total == 1 ? "is" : "are") + " NOT signed.";
}

// The signed text, each line behind "| " so that no line of it passes for one of ours.
void PrintSignedText(CliContext& c, const QByteArray& text) {
    QByteArrayView rest = text;
    while (!rest.isEmpty()) {
        qsizetype end = rest.indexOf('\n');
        QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (line.endsWith('\r')) line.chop(1);
        c.out << "| "
              << PeerTextFromBytes(QByteArray::fromRawData(line.data(), line.size()),
                                   PeerTextLines::Escape)
              << '\n';
    }
}

int Verify(CliContext& c) {
    const bool acceptMarginal = TakeFlag(c.args, "--accept-marginal");
    const bool quiet = TakeFlag(c.args, "--quiet");
    RejectUnknownOptions(c.args);
    c.args.removeAll("--");
    if (c.args.size() != 1) throw CliUsageError{"expects one FILE"};
    try {
        const QByteArray message = ReadFileBytes(c.args[0]);
        const Result<SignedParts> found = SignedPartsIn(message);
        if (!found) return Fail(c, found.Error());
        const std::vector<SignedPart>& parts = found->parts;
        if (parts.empty()) return Fail(c, "No OpenPGP signature found.");
        bool accepted = true;
        for (size_t i = 0; i < parts.size(); ++i) {
            if (parts.size() > 1)
                c.out << "Signed part " << (i + 1) << " of " << parts.size() << ":\n";
            const Result<SignatureVerdict> verdict = CheckSignedPart(parts[i]);
            if (!verdict) {
                c.out << WithFullStop(verdict.Error()) << '\n';
                accepted = false;
                continue;
            }
            // The text is shown where every signature over it holds (whatever else is said of
            // the key); a text that fails its signature or has none that can be checked is not.
            bool shown = true;
            for (const OpenPgpSignature& signature : verdict->signatures) {
                c.out << SignatureLine(signature) << '\n';
                using S = OpenPgpSignature::Status;
                shown = shown && signature.status != S::Bad && signature.status != S::NoPublicKey &&
                        signature.status != S::Failed;
            }
            accepted = accepted && verdict->Accepted(acceptMarginal);
            if (!quiet && shown) PrintSignedText(c, verdict->signedText);
        }
        if (const QString notice = UnsignedNotice(found.Value()); !notice.isEmpty())
            c.out << notice << '\n';
        c.out.flush();
        return accepted ? CliOk : CliFailed;
    } catch (const Exception& e) {
        return Fail(c, e.Message());
    }
}

int Keys(CliContext& c) {
    RejectUnknownOptions(c.args);
    if (!c.args.isEmpty()) throw CliUsageError{"takes no arguments"};
    const Result<std::vector<OpenPgpKey>> keys = SigningKeys();
    if (!keys) return Fail(c, keys.Error());
    for (const OpenPgpKey& key : keys.Value())
        c.out << key.fingerprint << '\t'
              << PeerText(key.userId, PeerTextLines::Escape).replace('\t', "\\x09") << '\t'
              << (key.expires ? QDateTime::fromSecsSinceEpoch(key.expires).toString("yyyy-MM-dd")
                              : QString("never"))
              << (key.onCard ? "\ton card" : "") << '\n';
    return CliOk;
}

int Crypt(CliContext& c) {
    const QString methodName = TakeOption(c.args, "--method", "des");
    const QString salt = TakeOption(c.args, "--salt");
    RejectUnknownOptions(c.args);
    if (!c.args.isEmpty()) throw CliUsageError{"takes no arguments"};
    const std::optional<CryptMethod> method = CryptMethodNamed(methodName);
    if (!method)
        throw CliUsageError{"--method must be des, md5, sha512 or bcrypt, not " + methodName};
    QByteArray password = ReadSecretLine("Password: ").value_or(QByteArray());
    if (password.isEmpty()) return Fail(c, "No password was given");
    const Result<void> usable = CheckCryptPassword(password);
    if (!usable) {
        password.fill('\0');
        return Fail(c, usable.Error());
    }
    for (const QString& warning : CryptWarnings(password, *method))
        c.err << "Warning: " << warning << '\n';
    c.err.flush();
    const Result<QString> hash = CryptHash(password, *method, salt);
    password.fill('\0');
    if (!hash) return Fail(c, hash.Error());
    c.out << hash.Value() << '\n';
    return CliOk;
}

const CliRegistration signCommand{
    {"sign", "regiscribe-cli sign [--key KEY] [--passphrase-command CMD] [FILE]", Sign}};
const CliRegistration verifyCommand{
    {"verify", "regiscribe-cli verify [--quiet] [--accept-marginal] FILE", Verify}};
const CliRegistration keysCommand{{"keys", "regiscribe-cli keys", Keys}};
const CliRegistration cryptCommand{
    {"crypt", "regiscribe-cli crypt [--method des|md5|sha512|bcrypt] [--salt SALT]", Crypt}};
} // namespace
