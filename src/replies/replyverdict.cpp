#include "replies/replyverdict.h"

#include <QRegularExpression>

namespace {
using RX = QRegularExpression;

// A line of the request the robot quotes back ("> Subject: ..."): never a verdict of its own.
bool Quoted(const QString& line) {
    return line.startsWith('>');
}

// The text as the robot wrote it: in a cleartext-signed reply, the armour lines and the
// signature left out and the dash escapes ("- ---") undone.
QStringList ReadableLines(const QStringList& lines) {
    QStringList readable;
    enum { Plain, ArmourHeader, Signed, Signature } part = Plain;
    for (const QString& line : lines) {
        const QString bare = line.trimmed();
        if (part == Plain && bare == "-----BEGIN PGP SIGNED MESSAGE-----") {
            part = ArmourHeader;
        } else if (part == ArmourHeader) {
            if (bare.isEmpty()) part = Signed;
        } else if (part == Signed && bare == "-----BEGIN PGP SIGNATURE-----") {
            part = Signature;
        } else if (part == Signature) {
            if (bare == "-----END PGP SIGNATURE-----") part = Plain;
        } else {
            readable << (part == Signed && line.startsWith("- ") ? line.mid(2) : line);
        }
    }
    return readable;
}

// --- RIPE-rule robots and IRRd -------------------------------------------------------------

// The acknowledgement's word at the start of its subject, or empty.
QString AcknowledgementWord(const QString& subject) {
    static const RX word("^(SUCCESS|FAILED|ERROR|EXCEPTION):");
    return word.match(subject).captured(1);
}

class AcknowledgementReader {
public:
    explicit AcknowledgementReader(ReplyVerdict& verdict) : verdict_(verdict) {}

    void Read(const QStringList& lines) {
        // "Create SUCCEEDED: [domain] x", "Delete FAILED: [mntner] X", "No operation: [domain] x",
        // and IRRd's "Create succeeded: [person] X".
        static const RX object(
            R"(^(?:(?:Create|Modify|Delete|Update)\s+(SUCCEEDED|FAILED)|No operation):\s*\[)",
            RX::CaseInsensitiveOption);
        // "***Error:   text" (RIPE rules) and "ERROR: text" (IRRd).
        static const RX message(R"(^(?:\*\*\*(Error|Warning|Info)|(ERROR|WARNING|INFO)):\s*(.*)$)");
        static const RX separator("^(---|~~~~)");
        for (const QString& raw : lines) {
            const QString line = raw.trimmed().isEmpty() ? QString() : raw;
            if (Quoted(line)) {
                pending_ = nullptr;
                continue;
            }
            const QRegularExpressionMatch o = object.match(line);
            if (o.hasMatch()) {
                ObjectResult result;
                result.line = line.trimmed();
                result.result = o.captured(1).compare("FAILED", Qt::CaseInsensitive) == 0
                                    ? ReplyStatus::Refused
                                    : ReplyStatus::Done;
                verdict_.objects.push_back(result);
                inObject_ = true;
                pending_ = nullptr;
                continue;
            }
            if (separator.match(line).hasMatch()) {
                inObject_ = false;
                pending_ = nullptr;
                continue;
            }
            const QRegularExpressionMatch m = message.match(line);
            if (m.hasMatch()) {
                const QString kind = (m.captured(1) + m.captured(2)).toLower();
                pending_ = Add(kind == "error", m.captured(3).trimmed());
                continue;
            }
            // Long texts go on over lines indented by 11 or 12 blanks.
            if (pending_ && line.startsWith("        ") && !line.trimmed().isEmpty()) {
                *pending_ += ' ' + line.trimmed();
                continue;
            }
            pending_ = nullptr;
        }
    }

private:
    // Where a message goes: under the current object, or among the reply's own lines (errors
    // only: the warnings outside an object are the robot's remarks on the mail, not a verdict).
    QString* Add(bool error, const QString& text) {
        if (inObject_ && !verdict_.objects.empty()) {
            ObjectResult& current = verdict_.objects.back();
            QStringList& list = error ? current.errors : current.notes;
            list << text;
            return &list.back();
        }
        if (!error) return &scratch_;
        verdict_.lines << text;
        return &verdict_.lines.back();
    }

    ReplyVerdict& verdict_;
    bool inObject_ = false;
    QString* pending_ = nullptr;
    QString scratch_;
};

bool HasErrorLines(const ReplyVerdict& verdict) {
    if (!verdict.lines.isEmpty()) return true;
    for (const ObjectResult& object : verdict.objects)
        if (!object.errors.isEmpty()) return true;
    return false;
}

// The first paragraph of the robot's own text (after the request it quotes), as one line.
QString FirstParagraph(const QStringList& lines) {
    QStringList paragraph;
    for (const QString& line : lines) {
        if (Quoted(line)) continue;
        if (line.trimmed().isEmpty()) {
            if (!paragraph.isEmpty()) break;
            continue;
        }
        paragraph << line.trimmed();
    }
    return paragraph.join(' ');
}

// Why a refusal that names no error was refused, in the robot's words.
QString RefusalWithoutErrors(const QStringList& lines) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].contains("do not look like objects")) continue;
        QString heading = lines[i].trimmed();
        if (i + 1 < lines.size() && lines[i + 1].contains("NOT PROCESSED"))
            heading += ' ' + lines[i + 1].trimmed();
        return heading;
    }
    for (const QString& line : lines)
        if (line.startsWith("SUMMARY OF UPDATE")) return QString();
    return FirstParagraph(lines);
}

void ReadAcknowledgement(const ReplyMessage& reply, const QString& word, ReplyVerdict& verdict) {
    AcknowledgementReader(verdict).Read(reply.lines);
    bool anyRefused = word != "SUCCESS";
    for (const ObjectResult& object : verdict.objects)
        if (object.result == ReplyStatus::Refused) anyRefused = true;
    verdict.status = anyRefused ? ReplyStatus::Refused : ReplyStatus::Done;
    if (anyRefused && !HasErrorLines(verdict)) {
        const QString reason = RefusalWithoutErrors(reply.lines);
        if (!reason.isEmpty()) verdict.lines << reason;
    }
}

// --- template processors of the ARIN kind ---------------------------------------------------

QString TicketIn(const QStringList& lines) {
    static const RX ticket(R"(has been assigned ticket number\s+(\S+?)\.?(?:\s|$))",
                           RX::CaseInsensitiveOption);
    for (const QString& line : lines)
        if (line.contains(QLatin1String("ticket number"), Qt::CaseInsensitive))
            if (const QRegularExpressionMatch m = ticket.match(line); m.hasMatch())
                return m.captured(1);
    return QString();
}

// A rejection's reasons: the text before the quoted template, without the greeting.
QStringList Reasons(const QStringList& lines) {
    QStringList reasons;
    for (const QString& line : lines) {
        if (Quoted(line) || line.startsWith("This message is in response to")) break;
        if (!line.trimmed().isEmpty()) reasons << line.trimmed();
    }
    if (!reasons.isEmpty() && reasons.front().endsWith(',') && reasons.front().size() < 40)
        reasons.removeFirst();
    return reasons;
}

bool ReadTemplateProcessor(const ReplyMessage& reply, ReplyVerdict& verdict) {
    const bool approved = reply.subject.endsWith("--APPROVED", Qt::CaseInsensitive) ||
                          reply.regcoreStatus == "APPROVED";
    const bool rejected = reply.subject.endsWith("--REJECTED", Qt::CaseInsensitive) ||
                          reply.regcoreStatus == "REJECTED";
    const QString ticket = TicketIn(reply.lines);
    if (!approved && !rejected && ticket.isEmpty()) return false;
    verdict.number = ticket;
    if (rejected) {
        verdict.status = ReplyStatus::Refused;
        verdict.lines = Reasons(reply.lines);
    } else {
        verdict.status = approved ? ReplyStatus::Done : ReplyStatus::Received;
    }
    return true;
}

// --- the registry's own robot ----------------------------------------------------------------

bool ReadRegistryRobot(const ReplyMessage& reply, ReplyVerdict& verdict) {
    QString number = TrackingNumberIn(reply.subject);
    for (qsizetype i = 0; i < reply.lines.size() && number.isEmpty(); ++i)
        number = TrackingNumberIn(reply.lines[i]);
    if (number.isEmpty()) return false;
    verdict.number = number;
    static const RX parserError(R"(\bitem\s+\d+[a-z]?\b.*\brequired\b|\binvalid\b)",
                                RX::CaseInsensitiveOption);
    static const RX completion(R"(\b(completed|registered)\b)", RX::CaseInsensitiveOption);
    // "will be registered", "not completed": a promise or a denial, not the notice.
    static const RX notYet(
        R"(\b(not|will|once|when|after|until|before)\b.*\b(completed|registered)\b)",
        RX::CaseInsensitiveOption);
    bool completed =
        completion.match(reply.subject).hasMatch() && !notYet.match(reply.subject).hasMatch();
    for (const QString& line : reply.lines) {
        if (Quoted(line)) continue;
        if (parserError.match(line).hasMatch()) verdict.lines << line.trimmed();
        if (completion.match(line).hasMatch() && !notYet.match(line).hasMatch()) completed = true;
    }
    verdict.status = !verdict.lines.isEmpty() ? ReplyStatus::Refused
                     : completed              ? ReplyStatus::Done
                                              : ReplyStatus::Received;
    return true;
}
} // namespace

QString StatusWord(ReplyStatus status) {
    switch (status) {
    case ReplyStatus::Waiting:
        return QStringLiteral("waiting");
    case ReplyStatus::Received:
        return QStringLiteral("received");
    case ReplyStatus::Done:
        return QStringLiteral("done");
    case ReplyStatus::Refused:
        return QStringLiteral("refused");
    case ReplyStatus::Answered:
        break;
    }
    return QStringLiteral("answered");
}

std::optional<ReplyStatus> StatusFromWord(const QString& word) {
    for (ReplyStatus s : {ReplyStatus::Waiting, ReplyStatus::Received, ReplyStatus::Done,
                          ReplyStatus::Refused, ReplyStatus::Answered})
        if (StatusWord(s) == word) return s;
    return std::nullopt;
}

QString TrackingNumberIn(const QString& text) {
    static const RX number(R"(\bNIC-\d{6}\.\d+\b)");
    if (!text.contains(QLatin1String("NIC-"))) return QString();
    return number.match(text).captured(0);
}

ReplyVerdict ReadVerdict(const ReplyMessage& message) {
    ReplyMessage reply = message;
    reply.lines = ReadableLines(message.lines);
    ReplyVerdict verdict;
    const QString word = AcknowledgementWord(reply.subject);
    if (!word.isEmpty())
        ReadAcknowledgement(reply, word, verdict);
    else if (!ReadTemplateProcessor(reply, verdict))
        ReadRegistryRobot(reply, verdict);
    return verdict;
}
