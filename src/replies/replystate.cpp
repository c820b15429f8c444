#include "replies/replystate.h"

#include "replies/privatefiles.h"

#include <QDir>

namespace {
QString StatePath(const QString& sentFolder) {
    return QDir(sentFolder).filePath("replies.state");
}
} // namespace

QString MailboxStateKey(const QString& user, const QString& server, const QString& folder) {
    QString key = "imap://" + user + "@" + server + "/" + folder;
    for (QChar& c : key)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return key;
}

Result<MailboxState> ReadMailboxState(const QString& sentFolder, const QString& key) {
    Result<QByteArray> text = ReadPrivateFile(StatePath(sentFolder));
    if (!text) return Fail(text.Error());
    const QByteArray wanted = key.toUtf8();
    for (const QByteArray& line : text->split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split('\t');
        if (fields.size() != 3 || fields[0] != wanted) continue;
        bool validityOk = false, uidOk = false;
        MailboxState state{fields[1].toUInt(&validityOk), fields[2].toUInt(&uidOk)};
        if (validityOk && uidOk) return state;
    }
    return MailboxState{};
}

Done WriteMailboxState(const QString& sentFolder, const QString& key, const MailboxState& state) {
    Result<QByteArray> text = ReadPrivateFile(StatePath(sentFolder));
    if (!text) return Fail(text.Error());
    const QByteArray wanted = key.toUtf8();
    QByteArray kept;
    for (const QByteArray& line : text->split('\n'))
        if (!line.trimmed().isEmpty() && line.split('\t').front() != wanted) kept += line + '\n';
    kept += wanted + '\t' + QByteArray::number(state.uidValidity) + '\t' +
            QByteArray::number(state.lastUid) + '\n';
    return ReplacePrivateFile(StatePath(sentFolder), kept);
}
