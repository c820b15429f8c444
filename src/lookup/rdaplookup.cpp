#include "lookup/rdaplookup.h"

#include "lookup/rdaprender.h"

#include <QJsonDocument>
#include <QJsonObject>

QString RdapServerError(int status, const QString& reason, const QByteArray& body) {
    QString text = "RDAP server error: " + QString::number(status);
    if (!reason.isEmpty()) text += " " + reason;
    const QJsonValue title = QJsonDocument::fromJson(body).object().value("title");
    if (title.isString() && !title.toString().trimmed().isEmpty()) text += ": " + title.toString();
    return text;
}

TRdapLookup::TRdapLookup(LookupView& view, QObject* parent)
    : QObject(parent), view_(view), fetch_(this) {}

void TRdapLookup::Say(const QString& line) {
    if (!JsonOnly) view_.AddResponse(line);
}

void TRdapLookup::Cancel() {
    fetch_.Abort();
    active_ = false;
}

void TRdapLookup::Start(const QString& typed) {
    Cancel();
    active_ = true;
    answered_ = false;
    view_.ClearResponse();
    Say("Looking up " + typed + " with RDAP...");
    const std::optional<RdapQuery> query = ClassifyRdapQuery(typed);
    if (!query) return Fail("No RDAP service is known for " + typed + ".");
    query_ = *query;
    QString base = Bootstrap;
    if (!base.endsWith('/')) base += '/';
    const QString url = base + BootstrapFileOf(query_.kind);
    const std::optional<TBootstrapCache::Copy> cached = cache_.Cached(url);
    if (cached && cached->Fresh()) return UseBootstrap(cached->bytes);
    Ask(url, [this, url, cached](const HttpAnswer& answer) {
        if (answer.Ok()) {
            cache_.Keep(url, answer.body);
            return UseBootstrap(answer.body);
        }
        // An old copy serves better than none.
        if (cached) return UseBootstrap(cached->bytes);
        Fail(answer.failure.isEmpty() ? RdapServerError(answer.status, answer.reason, answer.body)
                                      : answer.failure);
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
    const QStringList bases = BaseUrlsFor(*services, query_);
    if (bases.isEmpty()) return Fail("No RDAP service is known for " + query_.typed + ".");
    QString base = bases.front();
    if (!base.endsWith('/')) base += '/';
    registryUrl_ = base + RdapPath(query_);
    Ask(registryUrl_, [this](const HttpAnswer& answer) { OnRegistry(answer); });
}

QString TRdapLookup::Problem(const HttpAnswer& answer) const {
    if (!answer.failure.isEmpty()) return answer.failure;
    if (answer.status == 404) return "No match for " + query_.typed + ".";
    if (!answer.Ok()) return RdapServerError(answer.status, answer.reason, answer.body);
    return {};
}

void TRdapLookup::OnRegistry(const HttpAnswer& answer) {
    if (const QString problem = Problem(answer); !problem.isEmpty()) return Fail(problem);
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
        for (const QString& line : RenderRdap(doc.object()))
            Say(line);
    }
    const QString registrar = RegistrarLink(doc.object());
    if (query_.kind != RdapKind::Domain || !FollowRegistrar || registrar.isEmpty() ||
        QUrl(registrar) == QUrl(registryUrl_))
        return Finish();
    Ask(registrar, [this, registrar](const HttpAnswer& a) { OnRegistrar(registrar, a); });
}

void TRdapLookup::OnRegistrar(const QString& url, const HttpAnswer& answer) {
    QString problem = Problem(answer);
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
    } else {
        Say(QString());
        Say("Registrar's answer (" + url + "):");
        if (problem.isEmpty())
            for (const QString& line : RenderRdap(object))
                Say(line);
        else
            Say(problem);
    }
    Finish();
}

void TRdapLookup::Fail(const QString& text) {
    Say(text);
    active_ = false;
    if (OnFailure) OnFailure(text);
}

void TRdapLookup::Finish() {
    active_ = false;
}
