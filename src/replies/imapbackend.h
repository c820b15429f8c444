#pragma once
// What the IMAP module (replies/imap, on libcurl) offers: one signed-in session with the user's
// mailbox over TLS or STARTTLS, certificates checked, in which the caller sends its own commands
// (UID SEARCH, UID FETCH) and reads every line the server answered. Calls block; the caller runs
// them off the window thread and ends a wait at once through a descriptor that becomes readable.
#include <QByteArray>
#include <QString>

struct ImapAccount {
    QString host;            // a name or an address (an IPv6 address without brackets)
    int port = 993;          //
    bool implicitTls = true; // TLS from the first byte; false: STARTTLS, which must be offered
    QString user;
    QString password;
    QByteArray mailbox;      // the folder's IMAP name (modified UTF-7), not yet escaped for a URL
    QByteArray caFile;       // extra trust anchors (PEM) beside the system's, or empty
    int connectSeconds = 30; // for the connection and the TLS handshake
    int answerSeconds = 60;  // for each answer, and for any stall within one
    qint64 answerLimit = 64LL << 20; // the most bytes one command's answer may hold
};

struct ImapAnswer {
    enum class Outcome {
        Ok,
        CannotConnect,       // no connection (name unknown, refused, unreachable)
        SecureFailed,        // the TLS handshake failed (a server without TLS, say)
        CertificateRejected, // the server's certificate was not accepted (`certificateCode`)
        NoStartTls,          // STARTTLS was required and not offered: nothing was sent
        SignInRefused,       // the user name or password was refused
        NoMailbox,           // the folder could not be selected
        CommandRefused,      // the server answered the command NO or BAD
        TimedOut,
        TooLong, // the answer passed `answerLimit`
        Cancelled,
        Failed, // anything else (`detail`)
    } outcome = Outcome::Failed;
    // Every line the server sent for this call, as sent (CR LF ends, literals inline): the greeting
    // and the selection's lines on the first call, then the command's answer up to its tagged
    // status line.
    QByteArray transcript;
    QString detail;           // the library's words about a failure
    long certificateCode = 0; // OpenSSL's verify result when the certificate was not accepted
};

class ImapSession {
public:
    virtual ~ImapSession() = default;
    // Sends `command` (without tag) in the selected folder; the first call connects, secures,
    // signs in and selects the folder first. `wakeDescriptor` (or -1) ends any wait at once with
    // Outcome::Cancelled when it becomes readable. The session signs out when it is deleted.
    virtual ImapAnswer Command(const QByteArray& command, int wakeDescriptor) = 0;
};

class ImapBackend {
public:
    virtual ~ImapBackend() = default;
    // A new session for the account (nothing is sent before its first Command); the caller owns it.
    virtual ImapSession* Open(const ImapAccount& account) = 0;
};

// The module's name and its entry point, `ImapBackend* regiscribe_imap()`.
inline constexpr const char* ImapModuleName = "imap";
inline constexpr const char* ImapModuleEntry = "regiscribe_imap";
