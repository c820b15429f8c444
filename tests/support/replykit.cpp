#include "support/replykit.h"

#include "mail/msmsg.h"
#include "mail/outgoing.h"
#include "mail/sentcopy.h"
#include "support/tempdir.h"

#include <QBuffer>
#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {
QString Unquoted(QString field) {
    if (field.size() >= 2 && field.startsWith('"') && field.endsWith('"'))
        field = field.mid(1, field.size() - 2).replace("\"\"", "\"");
    return field;
}
} // namespace

QString SamplePath(const QString& file) {
    return QString(TESTS_SOURCE_DIR) + "/samples/replies/" + file;
}

QByteArray SampleText(const QString& file) {
    return ReadAll(SamplePath(file));
}

std::vector<ReplySample> ReplySamples() {
    std::vector<ReplySample> samples;
    const QList<QByteArray> lines = ReadAll(SamplePath("index.tsv")).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList f = QString::fromUtf8(lines[i]).split('\t');
        if (f.size() < 10) continue;
        ReplySample s{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], {}};
        s.objects = QJsonDocument::fromJson(Unquoted(f[9]).toUtf8()).array();
        samples.push_back(s);
    }
    return samples;
}

const ReplySample& Sample(const QString& file) {
    static const std::vector<ReplySample> samples = ReplySamples();
    for (const ReplySample& s : samples)
        if (s.file == file) return s;
    ADD_FAILURE() << "no sample " << file.toStdString();
    return samples.front();
}

QByteArray QuotingId(const QString& file, const QString& messageId) {
    QByteArray text = SampleText(file);
    const QByteArray quoted = Sample(file).quotedId.toUtf8();
    EXPECT_TRUE(text.contains(quoted)) << file.toStdString();
    return text.replace(quoted, messageId.toUtf8());
}

QByteArray AnsweringSubject(const QString& file, const QString& subject) {
    const ReplySample& s = Sample(file);
    QByteArray text = SampleText(file);
    const QByteArray field = "Subject: " + s.subject.toUtf8() + "\r\n";
    EXPECT_TRUE(text.contains(field)) << file.toStdString();
    QString answered = s.subject;
    answered.replace(s.originalSubject, subject);
    return text.replace(field, "Subject: " + answered.toUtf8() + "\r\n");
}

SentRegistration KeepRegistration(const QString& sentFolder, const QString& kind,
                                  const QString& name, const QString& recipient,
                                  const QString& subject, const QDateTime& when) {
    TmsMessage filled;
    filled.Sender().SetAddress("jane@example.org");
    filled.Sender().SetName("Jane Q. Public");
    filled.Recipients().AddAddress(recipient, "");
    filled.SetSubject(subject);
    filled.SetBody({"Registration of " + name, "..."});
    TmsMessage message;
    const OutgoingStamp stamp = PrepareOutgoing(filled, message);
    QByteArray text;
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadWrite);
    message.EncodeToStream(buffer);
    const SentEntry entry{when, kind, name, recipient, stamp.messageId, "250 2.0.0 Ok: queued"};
    const Result<QString> kept = KeepSentCopy(sentFolder, entry, text);
    EXPECT_TRUE(kept.Ok()) << kept.Error().toStdString();
    return {when, kind, name, recipient, stamp.messageId, subject};
}

QByteArray Mail(const QStringList& header, const QStringList& body) {
    return (header.join("\r\n") + "\r\n\r\n" + body.join("\r\n") + "\r\n").toUtf8();
}
