#include "mail/smtpextensions.h"

QStringList EhloExtensions(const QStringList& replyLines) {
    QStringList extensions;
    for (qsizetype i = 1; i < replyLines.size(); ++i)
        extensions << replyLines[i].mid(4).trimmed().toUpper();
    return extensions;
}

bool Offers(const QStringList& extensions, const QString& keyword) {
    for (const QString& e : extensions)
        if (e.section(' ', 0, 0) == keyword.toUpper()) return true;
    return false;
}

QStringList AuthMechanisms(const QStringList& extensions) {
    QStringList mechanisms;
    for (const QString& e : extensions) {
        QString rest;
        if (e.startsWith("AUTH "))
            rest = e.mid(5);
        else if (e.startsWith("AUTH="))
            rest = e.mid(5);
        else
            continue;
        for (const QString& m : rest.split(' ', Qt::SkipEmptyParts))
            if (!mechanisms.contains(m)) mechanisms << m;
    }
    return mechanisms;
}

QByteArray PlainAuthResponse(const QString& user, const QString& password) {
    return (QByteArray(1, '\0') + user.toUtf8() + QByteArray(1, '\0') + password.toUtf8())
        .toBase64();
}

QByteArray LoginAuthResponse(const QString& text) {
    return text.toUtf8().toBase64();
}
