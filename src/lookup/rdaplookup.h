#pragma once
// The RDAP look-up of the WhoIs tab and `regiscribe-cli rdap`: the IANA bootstrap file (cached for
// a day) names the registry's RDAP service, the registry is asked, and for a domain the
// registrar's own answer that the registry links to is asked as well. Every step is an event on
// the window thread; a new look-up abandons the one in progress.
#include "lookup/lookupview.h"
#include "lookup/rdapbootstrap.h"
#include "lookup/rdapfetch.h"
#include "platform/result.h"

#include <QObject>
#include <QString>
#include <functional>

class TRdapLookup : public QObject {
public:
    static constexpr const char* DefaultBootstrap = "https://data.iana.org/rdap/";

    explicit TRdapLookup(LookupView& view, QObject* parent = nullptr);

    QString Bootstrap = DefaultBootstrap; // where the bootstrap files lie
    bool FollowRegistrar = true;          // ask the registrar the registry links to
    bool JsonOnly = false;                // show each answer's body as received, nothing else

    // Looks up the typed text (the view is emptied first), abandoning a look-up in progress: as
    // what it shows itself to be, or as the entity or name server the user chose.
    void Start(const QString& typed, RdapObject object = RdapObject::Any);
    void Cancel();
    bool Active() const { return active_; }
    // Whether the last look-up showed an answer.
    bool Answered() const { return answered_; }
    // Told the text of a look-up that ended without an answer.
    std::function<void(const QString& text)> OnFailure;
    // Told, with JsonOnly, what was left out: a service address that is not https, why the
    // registrar's answer is missing (the look-up still answered).
    std::function<void(const QString& text)> OnNote;

private:
    void Say(const QString& line);
    // A line about what was left out: shown, and with JsonOnly told to OnNote.
    void Note(const QString& line);
    void Ask(const QString& url, std::function<void(const HttpAnswer&)> then);
    void UseBootstrap(const QByteArray& bytes);
    // Asks the registry at the base URL `index` of `bases`; a server that cannot be reached or
    // fails (5xx) hands over to the next one.
    void AskRegistry(const QStringList& bases, int index);
    void OnRegistry(const HttpAnswer& answer);
    void OnRegistrar(const QString& url, const HttpAnswer& answer);
    // Done for a 2xx answer with a body; else the line that tells what came instead.
    Done Usable(const HttpAnswer& answer) const;
    void Fail(const QString& text);
    // What the query asked for, as an objectClassName.
    QString AskedKind() const;
    void Finish();

    LookupView& view_;
    TRdapFetch fetch_;
    TBootstrapCache cache_;
    RdapQuery query_;
    QString registryUrl_;
    bool active_ = false;
    bool answered_ = false;
};

// "RDAP server error: 500 Internal Server Error: <title>: <description>" (a title that only
// repeats the status is left out), and for 429 with a Retry-After "; try again in N seconds."
QString RdapServerError(int status, const QString& reason, const QByteArray& body,
                        const QByteArray& retryAfter = QByteArray());
