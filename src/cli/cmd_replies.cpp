// regiscribe-cli replies: what the registry answered to each registration sent, after reading the
// mailbox (--check), or the verdict of one saved reply (--file).
#include "cli/command.h"
#include "cli/securemail.h"
#include "mail/mailsecurity.h"
#include "mail/mssmtp.h"
#include "mail/sentcopy.h"
#include "platform/peertext.h"
#include "replies/mailboxpassword.h"
#include "replies/replycheck.h"
#include "replies/replyreading.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QString Iso(const QDateTime& when) {
    if (!when.isValid()) return QString();
    const QDateTime local = when.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

QString Safe(const QString& text) {
    return PeerText(text, PeerTextLines::Escape);
}

QJsonArray Strings(const QStringList& list) {
    QJsonArray array;
    for (const QString& text : list)
        array.append(Safe(text));
    return array;
}

QJsonObject ReadingJson(const ReplyReading& reading) {
    QJsonArray objects;
    for (const ObjectResult& object : reading.verdict.objects)
        objects.append(QJsonObject{{"line", Safe(object.line)},
                                   {"result", StatusWord(object.result)},
                                   {"errors", Strings(object.errors)},
                                   {"notes", Strings(object.notes)}});
    return QJsonObject{
        {"status", StatusWord(reading.verdict.status)}, {"number", reading.verdict.number},
        {"subject", Safe(reading.message.subject)},     {"from", Safe(reading.message.fromAddress)},
        {"signature", reading.signature.line},          {"objects", objects},
        {"lines", Strings(reading.verdict.lines)}};
}

void PrintLines(QTextStream& out, const ReplyReading& reading) {
    for (const VerdictLine& line : VerdictLines(reading))
        out << QString(line.depth + 1, '\t') << line.text << '\n';
    if (reading.verdict.status == ReplyStatus::Answered)
        out << '\t' << Safe(reading.message.subject) << '\n';
}

int RunFile(CliContext& c, const QString& file, bool json) {
    Result<ReplyReading> reading = ReadReplyFile(file);
    if (!reading) {
        c.err << reading.Error() << '\n';
        return CliFailed;
    }
    if (json) {
        c.out << QJsonDocument(ReadingJson(reading.Value())).toJson(QJsonDocument::Indented);
        return CliOk;
    }
    QString status = StatusWord(reading->verdict.status);
    if (!reading->verdict.number.isEmpty()) status += ' ' + Safe(reading->verdict.number);
    c.out << status << '\n';
    PrintLines(c.out, reading.Value());
    return CliOk;
}

// The password: the command's, the keyring's, or one typed on the terminal.
Result<QString> Password(const MailboxEndpoint& mailbox, const QString& command) {
    try {
        if (!command.isEmpty()) return PasswordFromCommand(command);
    } catch (const EMailSecurityError& e) {
        return Fail(e.Message());
    }
    Result<std::optional<QString>> stored = ReadMailboxPassword(mailbox.user, mailbox.server);
    if (stored && stored->has_value()) return stored->value();
    if (const auto typed = PasswordFromTerminal(mailbox.user, mailbox.server)) return *typed;
    return Fail(NoPasswordText(mailbox.user, mailbox.server));
}

Done Check(const CliContext& c, const QString& passwordCommand) {
    Result<MailboxEndpoint> mailbox = MailboxEndpointOf(ReadReplySettings(c.settingsFile));
    if (!mailbox) return Fail(mailbox.Error());
    Result<QString> password = Password(mailbox.Value(), passwordCommand);
    if (!password) return Fail(password.Error());
    Result<ReplyCheckOutcome> outcome =
        CheckForReplies({SentFolderPath(), mailbox.Value(), password.Value()}, CancelToken());
    if (!outcome) return Fail(outcome.Error());
    return {};
}

int RunList(CliContext& c, bool json) {
    const QString folder = SentFolderPath();
    Result<std::vector<RegistrationState>> states = ReadRegistrationStates(folder);
    if (!states) {
        c.err << states.Error() << '\n';
        return CliFailed;
    }
    const QDateTime now = QDateTime::currentDateTime();
    QJsonArray all;
    for (auto it = states->rbegin(); it != states->rend(); ++it) {
        const RegistrationState& state = *it;
        const SentRegistration& r = state.registration;
        const ReplyLogEntry* deciding = state.DecidingReply();
        std::optional<Result<ReplyReading>> reading;
        if (deciding) reading.emplace(ReadKeptReply(folder, *deciding));
        if (json) {
            QJsonArray replies;
            for (const ReplyLogEntry& entry : state.replies) {
                QJsonObject reply{{"messageId", Safe(entry.replyId)},
                                  {"date", Iso(entry.date)},
                                  {"verdict", StatusWord(entry.verdict)},
                                  {"number", Safe(entry.number)},
                                  {"file", Safe(entry.file)}};
                if (Result<ReplyReading> kept = ReadKeptReply(folder, entry))
                    reply.insert("reading", ReadingJson(kept.Value()));
                else
                    reply.insert("problem", kept.Error());
                replies.append(reply);
            }
            all.append(QJsonObject{{"time", Iso(r.when)},
                                   {"kind", r.kind},
                                   {"name", r.name},
                                   {"recipient", r.recipient},
                                   {"messageId", r.messageId},
                                   {"subject", r.subject},
                                   {"status", StatusWord(state.status)},
                                   {"statusText", state.StatusText(now)},
                                   {"numbers", Strings(state.numbers)},
                                   {"replies", replies}});
            continue;
        }
        c.out << Iso(r.when) << '\t' << r.kind << '\t' << r.name << '\t' << state.StatusText(now)
              << '\n';
        if (reading && *reading)
            PrintLines(c.out, reading->Value());
        else if (reading)
            c.out << '\t' << reading->Error() << '\n';
    }
    if (json) c.out << QJsonDocument(all).toJson(QJsonDocument::Indented);
    return CliOk;
}

int RunReplies(CliContext& c) {
    const bool check = TakeFlag(c.args, "--check");
    const bool json = TakeFlag(c.args, "--json");
    const QString file = TakeOption(c.args, "--file");
    const QString passwordCommand = TakeOption(c.args, "--password-command");
    RejectUnknownOptions(c.args);
    if (!c.args.isEmpty()) throw CliUsageError{"takes no arguments"};
    if (!file.isEmpty()) {
        if (check) throw CliUsageError{"--file reads a saved reply: it takes no --check"};
        return RunFile(c, file, json);
    }
    if (check) {
        if (Done checked = Check(c, passwordCommand); !checked) {
            c.err << checked.Error() << '\n';
            return CliFailed;
        }
    }
    return RunList(c, json);
}

CliRegistration replies{{"replies",
                         "regiscribe-cli replies [--check [--password-command CMD]] [--json]\n"
                         "  regiscribe-cli replies --file FILE.eml [--json]",
                         RunReplies}};
} // namespace
