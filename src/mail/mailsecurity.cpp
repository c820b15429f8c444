#include "mail/mailsecurity.h"

QString SecurityName(TMailSecurity security) {
    switch (security) {
    case TMailSecurity::StartTls:
        return "STARTTLS";
    case TMailSecurity::Tls:
        return "TLS";
    case TMailSecurity::None:
        break;
    }
    return "None";
}

std::optional<TMailSecurity> SecurityFromName(const QString& name) {
    const QString word = name.trimmed();
    if (word.isEmpty() || word.compare("None", Qt::CaseInsensitive) == 0)
        return TMailSecurity::None;
    if (word.compare("STARTTLS", Qt::CaseInsensitive) == 0) return TMailSecurity::StartTls;
    if (word.compare("TLS", Qt::CaseInsensitive) == 0) return TMailSecurity::Tls;
    return std::nullopt;
}

uint16_t SecurityDefaultPort(TMailSecurity security) {
    switch (security) {
    case TMailSecurity::StartTls:
        return 587;
    case TMailSecurity::Tls:
        return 465;
    case TMailSecurity::None:
        break;
    }
    return 0;
}

QString StartTlsNotOfferedText() {
    return "The server does not offer STARTTLS; nothing was sent.";
}

QString AuthNotOfferedText() {
    return "The server does not offer authentication; nothing was sent.";
}

QString PasswordNeedsEncryptionText() {
    return "A password is only sent over an encrypted connection: choose STARTTLS or TLS.";
}

QString NoPasswordText(const QString& user, const QString& server) {
    return "No password for " + user + " at " + server + ".";
}
