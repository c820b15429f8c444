#include "lookup/rdaplookup.h"

#include "lookup/rdapfields.h"
#include "lookup/rdaprender.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
// The seconds a Retry-After header asks to wait (a number, or an HTTP date); -1 when none.
qint64 RetrySeconds(const QByteArray& retryAfter) {
    const QByteArray value = retryAfter.trimmed();
    bool number = false;
    const qint64 seconds = value.toLongLong(&number);
    if (number) return seconds >= 0 ? seconds : -1;
    const QDateTime when = QDateTime::fromString(QString::fromLatin1(value), Qt::RFC2822Date);
    if (!when.isValid()) return -1;
    return std::max<qint64>(0, QDateTime::currentDateTimeUtc().secsTo(when));
}

bool IsHttps(const QString& url) {
    return QUrl(url).scheme().compare("https", Qt::CaseInsensitive) == 0;
}
} // namespace

QString RdapServerError(int status, const QString& reason, const QByteArray& body,
                        const QByteArray& retryAfter) {
    QString text = "RDAP server error: " + QString::number(status);
    if (!reason.isEmpty()) text += " " + reason;
    const QJsonObject error = QJsonDocument::fromJson(body).object();
    // The title, unless it only says the status again ("501 Not Implemented"), then what the
    // description adds.
    const QString statusLine = QString::number(status) + " " + reason;
    const QString title = error.value("title").toString().simplified();
    if (!title.isEmpty() && title.compare(statusLine.trimmed(), Qt::CaseInsensitive) != 0 &&
        title.compare(reason, Qt::CaseInsensitive) != 0 && title != QString::number(status))
        text += ": " + title;
    QStringList description;
    for (const QString& line : StringsOf(error.value("description")))
        if (const QString said = line.simplified(); !said.isEmpty() && said != title)
            description << said;
    if (!description.isEmpty()) text += ": " + description.join(" ");
    if (status == 429)
        if (const qint64 seconds = RetrySeconds(retryAfter); seconds >= 0)
            text += QString("; try again in %1 seconds.").arg(seconds);
    return text;
}

TRdapLookup::TRdapLookup(LookupView& view, QObject* parent)
    : QObject(parent), view_(view), fetch_(this) {}

void TRdapLookup::Say(const QString& line) {
    if (!JsonOnly) view_.AddResponse(line);
}

void TRdapLookup::Note(const QString& line) {
    Say(line);
    if (JsonOnly && OnNote) OnNote(line);
}

void TRdapLookup::Cancel() {
    fetch_.Abort();
    active_ = false;
}

void TRdapLookup::Start(const QString& typed, RdapObject object) {
    Cancel();
    active_ = true;
    answered_ = false;
    view_.ClearResponse();
    Say("Looking up " + typed + " with RDAP...");
    const std::optional<RdapQuery> query = ClassifyRdapQuery(typed, object);
    if (!query) return Fail("No RDAP service is known for " + typed + ".");
    if (!query->refusal.isEmpty()) return Fail(query->refusal);
    query_ = *query;
    QString base = Bootstrap;
    if (!base.endsWith('/')) base += '/';
    const QString url = base + BootstrapFileOf(query_.kind);
    const std::optional<TBootstrapCache::Copy> cached = cache_.Cached(url);
    if (cached && cached->Fresh()) return UseBootstrap(cached->bytes);
    Ask(url, [this, url, cached](const HttpAnswer& answer) {
        // Only a file that reads as a bootstrap file replaces the copy: a captive portal's page
        // with status 200 must not take RDAP away for a day.
        QString problem = answer.failure;
        if (problem.isEmpty() && !answer.Ok())
            problem = RdapServerError(answer.status, answer.reason, answer.body, answer.retryAfter);
        if (problem.isEmpty() && !ParseBootstrap(answer.body, &problem))
            problem = "The RDAP bootstrap file could not be read: " + problem;
        if (problem.isEmpty()) {
            cache_.Keep(url, answer.body);
            return UseBootstrap(answer.body);
        }
        // An old copy serves better than none; the refresh is tried again in an hour.
        if (cached) {
            cache_.RetryLater(url);
            return UseBootstrap(cached->bytes);
        }
        Fail(problem);
    });
}

void TRdapLookup::Ask(const QString& url, std::function<void(const HttpAnswer&)> then) {
    Say("Asking " + url + " ...");
    fetch_.Get(QUrl(url), std::move(then));
}

void TRdapLookup::UseBootstrap(const QByteArray& bytes) {
    QString problem;
    const auto services = ParseBootstrap(bytes, &problem);
    if (!services) return Fail("The RDAP bootstrap file could not be read: " + problem);
    const BaseUrls bases = BaseUrlsFor(*services, query_);
    for (const QString& url : bases.ignored)
        Note("RDAP service address ignored: it is not https (" + url + ").");
    if (bases.usable.isEmpty()) return Fail("No RDAP service is known for " + query_.typed + ".");
    AskRegistry(bases.usable, 0);
}

void TRdapLookup::AskRegistry(const QStringList& bases, int index) {
    QString base = bases[index];
    if (!base.endsWith('/')) base += '/';
    registryUrl_ = base + RdapPath(query_);
    Ask(registryUrl_, [this, bases, index](const HttpAnswer& answer) {
        const bool unreachable = !answer.failure.isEmpty() || answer.status >= 500;
        if (unreachable && index + 1 < bases.size()) return AskRegistry(bases, index + 1);
        OnRegistry(answer);
    });
}

Done TRdapLookup::Usable(const HttpAnswer& answer) const {
    if (!answer.failure.isEmpty()) return ::Fail(answer.failure);
    if (answer.status == 404) return ::Fail("No match for " + query_.typed + ".");
    if (!answer.Ok())
        return ::Fail(
            RdapServerError(answer.status, answer.reason, answer.body, answer.retryAfter));
    return {};
}

void TRdapLookup::OnRegistry(const HttpAnswer& answer) {
    if (const Done usable = Usable(answer); !usable) return Fail(usable.Error());
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(answer.body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return Fail(
            "The RDAP server's answer is not valid JSON" +
            (error.error != QJsonParseError::NoError ? ": " + error.errorString() : QString()));
    answered_ = true;
    if (JsonOnly) {
        view_.AddAnswer(answer.body);
    } else {
        Say(QString());
        for (const QString& line : RenderRdap(doc.object(), AskedKind()))
            Say(line);
    }
    const QString registrar = RegistrarLink(doc.object());
    if (query_.kind != RdapKind::Domain || !FollowRegistrar || registrar.isEmpty() ||
        QUrl(registrar) == QUrl(registryUrl_))
        return Finish();
    // Never a local file, never in clear text.
    if (!IsHttps(registrar)) {
        Say(QString());
        Note("Registrar's answer not fetched: its address is not https (" + registrar + ").");
        return Finish();
    }
    Ask(registrar, [this, registrar](const HttpAnswer& a) { OnRegistrar(registrar, a); });
}

void TRdapLookup::OnRegistrar(const QString& url, const HttpAnswer& answer) {
    QString problem = answer.failure.isEmpty() && answer.status == 404
                          ? QString("Registrar's answer: no match.")
                          : Usable(answer).Error();
    QJsonObject object;
    if (problem.isEmpty()) {
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(answer.body, &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject())
            problem = "The registrar's RDAP answer is not valid JSON";
        object = doc.object();
    }
    if (JsonOnly && problem.isEmpty()) {
        view_.AddAnswer(answer.body);
    } else if (JsonOnly) {
        if (OnNote) OnNote("Registrar's answer (" + url + "): " + problem);
    } else {
        Say(QString());
        Say("Registrar's answer (" + url + "):");
        if (problem.isEmpty())
            for (const QString& line : RenderRdap(object, "domain"))
                Say(line);
        else
            Say(problem);
    }
    Finish();
}

QString TRdapLookup::AskedKind() const {
    switch (query_.kind) {
    case RdapKind::IpV4:
    case RdapKind::IpV6:
        return "ip network";
    case RdapKind::Autnum:
        return "autnum";
    case RdapKind::Entity:
        return "entity";
    case RdapKind::Nameserver:
        return "nameserver";
    case RdapKind::Domain:
        break;
    }
    return "domain";
}

void TRdapLookup::Fail(const QString& text) {
    Say(text);
    active_ = false;
    if (OnFailure) OnFailure(text);
}

void TRdapLookup::Finish() {
    active_ = false;
}
