#include "mail/outgoing.h"

#include "mail/addresscheck.h"
#include "mail/msmsg.h"
#include "mail/mssmtp.h"

#include <QLocale>
#include <QRandomGenerator>

QString MailDate(const QDateTime& when) {
    const QDateTime local = when.toLocalTime();
    const int offset = local.offsetFromUtc() / 60;
    const int size = std::abs(offset);
    return QLocale::c().toString(local, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss ")) +
           (offset < 0 ? '-' : '+') +
           QString("%1%2").arg(size / 60, 2, 10, QChar('0')).arg(size % 60, 2, 10, QChar('0'));
}

QString NewMessageId(const QString& domain) {
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    QString hex;
    for (quint32 w : words)
        hex += QString("%1").arg(w, 8, 16, QChar('0'));
    return '<' + hex + '@' + domain + '>';
}

QString AddressDomain(const QString& address) {
    const qsizetype at = address.lastIndexOf('@');
    return at < 0 ? QString() : address.mid(at + 1);
}

namespace {
void CheckList(TmsAddressList& list) {
    for (int i = 0; i < list.Count(); ++i)
        list.Items(i).SetAddress(CheckedMailAddress(list.Items(i).Address()));
}
} // namespace

OutgoingStamp PrepareOutgoing(const TmsMessage& source, TmsMessage& out, OutgoingStamp stamp) {
    out.Assign(source);
    out.Sender().SetAddress(CheckedMailAddress(source.Sender().Address()));
    CheckList(out.Recipients());
    CheckList(out.CC());
    CheckList(out.BCC());
    if (stamp.date.isEmpty()) stamp.date = MailDate(QDateTime::currentDateTime());
    if (stamp.messageId.isEmpty()) {
        QString domain = AddressDomain(out.Sender().Address());
        stamp.messageId = NewMessageId(domain.isEmpty() ? QStringLiteral("localhost") : domain);
    }
    TmsHeaders& headers = out.Headers();
    while (headers.HasField("Date"))
        headers.RemoveField("Date");
    while (headers.HasField("Message-ID"))
        headers.RemoveField("Message-ID");
    headers.Lines().prepend("Message-ID: " + stamp.messageId);
    headers.Lines().prepend("Date: " + stamp.date);
    return stamp;
}

OutgoingOnClient::OutgoingOnClient(TmsSMTP& smtp, TmsMessage& outgoing,
                                   std::function<void()> onAccepted)
    : smtp_(smtp), own_(smtp.MailMessage()) {
    smtp.SetMailMessage(&outgoing);
    smtp.SetKeepSentText(true);
    smtp.OnAccepted = std::move(onAccepted);
}

OutgoingOnClient::~OutgoingOnClient() {
    smtp_.SetMailMessage(own_);
    smtp_.OnAccepted = nullptr;
}
