#pragma once
// How the mail client secures and signs in to its server, beside the described plain session:
// the "Security" and "User" settings, their default ports, and the texts of their refusals.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

enum class TMailSecurity {
    None,     // the described plain session
    StartTls, // plain connect, then STARTTLS before anything else
    Tls,      // TLS from the first byte (implicit TLS)
};

// "None", "STARTTLS", "TLS": the settings file's and the dialog's words.
QString SecurityName(TMailSecurity security);
// The setting's value: empty or "None" is None; the words are compared without regard to case.
// Nothing for any other text.
std::optional<TMailSecurity> SecurityFromName(const QString& name);
// The port when "Server" names none: 465 for TLS, 587 for STARTTLS, 0 (the described service
// look-up) for None.
uint16_t SecurityDefaultPort(TMailSecurity security);

// The refusals and failures of the secured session, in the user's words.
QString StartTlsNotOfferedText(); // "The server does not offer STARTTLS; nothing was sent."
QString AuthNotOfferedText();     // "The server does not offer authentication; nothing was sent."
QString
PasswordNeedsEncryptionText(); // "A password is only sent over an encrypted connection: ..."
QString NoPasswordText(const QString& user, const QString& server);
