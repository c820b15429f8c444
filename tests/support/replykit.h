#pragma once
// What the reply tests share: the robots' sample replies with their index, rewritten to quote a
// registration the test sent, and registrations kept in sent/ as the program keeps them.
#include "replies/sentregistrations.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QString>
#include <vector>

struct ReplySample {
    QString file, robot, kind, verdict, quotedId, originalSubject, subject, from;
    QJsonArray objects; // [{"line", "result", "errors"}]
};

// The rows of tests/samples/replies/index.tsv.
std::vector<ReplySample> ReplySamples();
const ReplySample& Sample(const QString& file);
QString SamplePath(const QString& file);
QByteArray SampleText(const QString& file);

// The sample with its quoted Message-ID replaced by `messageId` (with angle brackets).
QByteArray QuotingId(const QString& file, const QString& messageId);
// The sample whose Subject field answers `subject` instead of its original one.
QByteArray AnsweringSubject(const QString& file, const QString& subject);

// Mails a registration into `sentFolder` as the window's mail buttons keep it (the message text
// and the log line); its Message-ID is made afresh for the sender's domain.
SentRegistration KeepRegistration(const QString& sentFolder, const QString& kind,
                                  const QString& name, const QString& recipient,
                                  const QString& subject, const QDateTime& when);

// A message of CR LF lines: the header fields, an empty line, the body.
QByteArray Mail(const QStringList& header, const QStringList& body);
