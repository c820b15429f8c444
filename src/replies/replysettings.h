#pragma once
// Where the registry's replies are read: section "Replies" of the settings file. The password is
// never kept there (see mailboxpassword.h).
#include "platform/result.h"

#include <QString>

struct ReplySettings {
    QString server;        // "Server": HOST or HOST:PORT; empty: replies are not read
    QString security;      // "Security": "TLS" or "STARTTLS"; empty means TLS
    QString user;          // "User": empty means the mail server's user (`smtpUser`)
    QString folder;        // "Folder": empty means INBOX
    int checkMinutes = 10; // "Check": minutes between checks while the program runs; 0: on request
    // "Check Seconds": seconds between checks instead of the minutes, when above 0 and Check is not
    // 0 (a shorter period for trying it out; never written: the dialog sets minutes).
    int checkSeconds = 0;
    QString smtpUser; // the "User" of section "Setup", the default user

    QString EffectiveUser() const { return user.isEmpty() ? smtpUser : user; }
    QString EffectiveFolder() const { return folder.isEmpty() ? QStringLiteral("INBOX") : folder; }
    // Milliseconds between checks while the program runs; 0: only on request.
    qint64 CheckPeriodMs() const {
        if (checkMinutes == 0) return 0;
        return checkSeconds > 0 ? qint64(checkSeconds) * 1000 : qint64(checkMinutes) * 60000;
    }
};

// The section's keys (a missing or unreadable "Check" is 10, a negative one 0, at most a week).
ReplySettings ReadReplySettings(const QString& settingsFile);
// Writes "Server", "Security", "User", "Folder" and "Check" in one replacement of the file, each
// only when it differs from its default or the file holds it already. Raises EIniFileError.
void WriteReplySettings(const QString& settingsFile, const ReplySettings& settings);

// The mailbox the settings name, checked: a server, TLS or STARTTLS, a user.
struct MailboxEndpoint {
    QString server; // the "Server" text, as the password's key names it
    QString host;
    int port = 993;
    bool implicitTls = true;
    QString user;
    QString folder;
};
Result<MailboxEndpoint> MailboxEndpointOf(const ReplySettings& settings);
