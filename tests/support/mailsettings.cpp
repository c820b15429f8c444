#include "support/mailsettings.h"

QByteArray MailSettingsText(const QString& server, const QString& address, const QString& name) {
    return ("[Setup]\r\nServer=" + server + "\r\nEMail Address=" + address + "\r\nName=" + name +
            "\r\nMailto=hostmaster@registry.test\r\n")
        .toUtf8();
}
