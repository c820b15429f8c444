#pragma once
// Outside judges of a mail message: Python's own mail parser (email.policy.default, through
// tests/mail/judge_message.py) and SpamAssassin with local tests only. Both are Debian's.
#include <QByteArray>
#include <QJsonObject>
#include <QStringList>

// What the parser made of the message (see judge_message.py for the members); empty when the
// judge could not run.
QJsonObject ParsedByPython(const QByteArray& message);

struct SpamVerdict {
    bool ran = false;
    double score = 0;
    QStringList rules; // the names of the rules that hit
    QString report;    // the report as SpamAssassin printed it
};
// `spamassassin -L -t` on the message.
SpamVerdict SpamAssassinVerdict(const QByteArray& message);
