#pragma once
// The IANA bootstrap files of RDAP (RFC 9224): which registry's RDAP service answers for a domain
// (the longest listed label suffix), an address (the longest matching prefix) or an autonomous
// system (the range that holds it). A fetched file is cached for a day.
#include "lookup/rdapquery.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct BootstrapService {
    QStringList entries; // label suffixes, prefixes "192.0.2.0/24", or ranges "64496-64511"
    QStringList urls;    // base URLs
};

// The services of a bootstrap file, or nothing (with the reason) when it is not one.
std::optional<std::vector<BootstrapService>> ParseBootstrap(const QByteArray& json,
                                                            QString* problem = nullptr);
// The base URLs of the service that serves the query, in their order: the https ones, or the http
// ones when the registry lists no https one. An address of any other scheme (a "file:" one that
// would have a local file read as the registry's answer) is never used: it is listed as ignored.
struct BaseUrls {
    QStringList usable;
    QStringList ignored;
};
BaseUrls BaseUrlsFor(const std::vector<BootstrapService>& services, const RdapQuery& query);

// Bootstrap files kept in $XDG_CACHE_HOME/regiscribe/, one per base URL and file.
class TBootstrapCache {
public:
    static constexpr qint64 FreshSeconds = 24 * 60 * 60;

    // The cached copy and when it was fetched; nothing when there is none.
    struct Copy {
        QByteArray bytes;
        QDateTime fetched;
        bool Fresh() const;
    };
    std::optional<Copy> Cached(const QString& url) const;
    // Keeps a fetched file (replaced whole); a cache that cannot be written is only not kept.
    void Keep(const QString& url, const QByteArray& bytes) const;
    // After a refresh that failed: the kept copy counts as fresh for another hour, so the refresh
    // is tried again then, not at every look-up and not only a day later.
    void RetryLater(const QString& url) const;
    static constexpr qint64 RetrySeconds = 60 * 60;
    static QString Folder();

private:
    static QString FileFor(const QString& url);
};
