#include "support/messagejudges.h"

#include "support/process.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QTemporaryFile>

QJsonObject ParsedByPython(const QByteArray& message) {
    QTemporaryFile file;
    if (!file.open()) return {};
    file.write(message);
    file.flush();
    const ProcessResult r =
        RunProgram("/usr/bin/python3",
                   {QString(TESTS_SOURCE_DIR) + "/mail/judge_message.py", file.fileName()});
    if (r.exitCode != 0) return {};
    return QJsonDocument::fromJson(r.out).object();
}

SpamVerdict SpamAssassinVerdict(const QByteArray& message) {
    SpamVerdict verdict;
    const ProcessResult r = RunProgram("spamassassin", {"-L", "-t"}, {}, message, 120000);
    const QString out = QString::fromUtf8(r.out);
    const qsizetype at = out.indexOf("Content analysis details:");
    if (r.exitCode < 0 || at < 0) return verdict;
    verdict.ran = true;
    verdict.report = out.mid(at);
    const QRegularExpressionMatch score =
        QRegularExpression(R"(Content analysis details:\s+\((-?[0-9.]+) points)").match(out);
    verdict.score = score.captured(1).toDouble();
    // Table rows: points, then the rule's name in capitals.
    static const QRegularExpression row(R"(^\s*(-?[0-9.]+)\s+([A-Z][A-Z0-9_]+)\s)",
                                        QRegularExpression::MultilineOption);
    for (auto it = row.globalMatch(verdict.report); it.hasNext();)
        verdict.rules << it.next().captured(2);
    return verdict;
}
