#include "lookup/rdapbootstrap.h"

#include "platform/atomicfile.h"
#include "platform/ipaddress.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QUrl>

std::optional<std::vector<BootstrapService>> ParseBootstrap(const QByteArray& json,
                                                            QString* problem) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    const QJsonValue services = doc.object().value("services");
    if (error.error != QJsonParseError::NoError || !services.isArray()) {
        if (problem)
            *problem = error.error != QJsonParseError::NoError ? error.errorString()
                                                               : QString("no \"services\" list");
        return std::nullopt;
    }
    std::vector<BootstrapService> result;
    for (const QJsonValue& service : services.toArray()) {
        // [[entries], [base URLs]]; the object tags' file puts its registry's contacts first:
        // [[contacts], [tags], [base URLs]].
        QJsonArray pair = service.toArray();
        if (pair.size() == 3) pair.removeFirst();
        if (pair.size() < 2 || !pair[0].isArray() || !pair[1].isArray()) continue;
        BootstrapService s;
        for (const QJsonValue& e : pair[0].toArray())
            if (e.isString()) s.entries << e.toString();
        for (const QJsonValue& u : pair[1].toArray())
            if (u.isString()) s.urls << u.toString();
        if (!s.entries.isEmpty() && !s.urls.isEmpty()) result.push_back(s);
    }
    return result;
}

namespace {
// How well an entry matches: the matched length (labels or prefix bits), or -1.
int Match(const QString& entry, const RdapQuery& query) {
    switch (query.kind) {
    case RdapKind::Entity: {
        // The tag after a handle's last hyphen names its registry ("MSFT-ARIN").
        const qsizetype dash = query.key.lastIndexOf('-');
        if (dash < 0) return -1;
        return entry.compare(query.key.mid(dash + 1), Qt::CaseInsensitive) == 0 ? 1 : -1;
    }
    case RdapKind::Domain:
    case RdapKind::Nameserver: {
        const QString suffix = entry.toLower();
        const QString name = query.key.toLower();
        if (name == suffix || name.endsWith("." + suffix)) return int(suffix.count('.')) + 1;
        return -1;
    }
    case RdapKind::IpV4:
    case RdapKind::IpV6: {
        const std::optional<IpNetwork> network = ParseIpNetwork(entry);
        const std::optional<IpAddress> address = ParseIpAddress(query.address);
        if (!network || !address) return -1;
        const int length = network->length < 0 ? network->address.Bits() : network->length;
        // A network asked for must lie inside the entry whole.
        if (query.prefix >= 0 && query.prefix < length) return -1;
        return InNetwork(*address, network->address, length) ? length : -1;
    }
    case RdapKind::Autnum: {
        const qsizetype dash = entry.indexOf('-');
        const qulonglong low = entry.left(dash < 0 ? entry.size() : dash).toULongLong();
        const qulonglong high = dash < 0 ? low : entry.mid(dash + 1).toULongLong();
        const qulonglong number = query.key.toULongLong();
        return number >= low && number <= high ? 1 : -1;
    }
    }
    return -1;
}
} // namespace

BaseUrls BaseUrlsFor(const std::vector<BootstrapService>& services, const RdapQuery& query) {
    int best = -1;
    QStringList urls;
    for (const BootstrapService& s : services)
        for (const QString& entry : s.entries) {
            const int quality = Match(entry, query);
            if (quality > best) {
                best = quality;
                urls = s.urls;
            }
        }
    // Plain http only where a registry offers nothing else: a failure of its https service must
    // never send the question in clear text.
    QStringList https, http;
    BaseUrls bases;
    for (const QString& url : urls) {
        const QString scheme = QUrl(url).scheme().toLower();
        (scheme == "https" ? https : scheme == "http" ? http : bases.ignored) << url;
    }
    bases.usable = https.isEmpty() ? http : https;
    return bases;
}

bool TBootstrapCache::Copy::Fresh() const {
    return fetched.secsTo(QDateTime::currentDateTimeUtc()) < FreshSeconds;
}

QString TBootstrapCache::Folder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/regiscribe";
}

QString TBootstrapCache::FileFor(const QString& url) {
    const QString name = url.section('/', -1);
    const QByteArray hash = QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha256);
    return Folder() + "/" + QString::fromLatin1(hash.toHex().left(16)) + "-" + name;
}

std::optional<TBootstrapCache::Copy> TBootstrapCache::Cached(const QString& url) const {
    QFile file(FileFor(url));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    Copy copy;
    copy.bytes = file.readAll();
    copy.fetched = QFileInfo(file).lastModified().toUTC();
    return copy;
}

void TBootstrapCache::Keep(const QString& url, const QByteArray& bytes) const {
    QDir().mkpath(Folder());
    ReplaceFileAtomically(FileFor(url), bytes);
}

void TBootstrapCache::RetryLater(const QString& url) const {
    QFile file(FileFor(url));
    if (!file.open(QIODevice::ReadWrite)) return;
    file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(RetrySeconds - FreshSeconds),
                     QFileDevice::FileModificationTime);
}
