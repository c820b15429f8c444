#pragma once
// Fetch: the registry's WHOIS server asked for an object's current text, with the flags the
// server documents for that (RIPE rules: unfiltered, no related objects; IRRd likewise), so that
// a modification or deletion starts from what the database holds. The server is the registry's,
// or the settings' "Objects"/"WhoisServer" for every registry, or one given for a single call.
#include "lookup/serveraddress.h"
#include "objects/registry.h"
#include "objects/rpslobject.h"
#include "objects/ruletable.h"
#include "platform/result.h"
#include "platform/tasks.h"

#include <QByteArray>
#include <functional>

struct FetchRequest {
    ServerAddress server;
    QString query;     // the line sent, without its CR LF
    QString className; // the object looked for
    QString key;
    int timeoutMs = 30000;
};

// The request for `className` `key` at `registry`: the server `override` names, else `setting`,
// else the registry's own.
Result<FetchRequest> MakeFetchRequest(const Registry& registry, const QString& className,
                                      const QString& key, const QString& override,
                                      const QString& setting);
// Sends the query and reads the whole answer (at most 4 MB, within the request's time). Blocks:
// run it off the window thread. A cancel ends it at once.
Result<QByteArray> AskWhoisServer(const FetchRequest& request, const CancelToken& cancel);
// The object of the request's class and key in a WHOIS answer (RIPE's and APNIC's "%" comments,
// IRRd's "A<length>" ... "C" framing); when there is none, the server's own words for why.
Result<RpslObject> ObjectInAnswer(const QByteArray& answer, const FetchRequest& request,
                                  const RuleTable& rules);
// Both together.
Result<RpslObject> FetchObject(const FetchRequest& request, const RuleTable& rules,
                               const CancelToken& cancel);
// FetchObject on the task pool; `done` runs on the window thread unless `context` is gone or the
// token cancelled.
void StartFetch(QObject* context, const CancelToken& cancel, const FetchRequest& request,
                std::shared_ptr<const RuleTable> rules,
                std::function<void(Result<RpslObject>)> done);
