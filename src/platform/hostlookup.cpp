#include "platform/hostlookup.h"

#include "platform/socketerrors.h"
#include "platform/tasks.h"

#include <arpa/inet.h>
#include <map>
#include <netdb.h>

namespace {
std::map<int, std::function<void(const HostLookupAnswer&)>>& Pending() {
    static std::map<int, std::function<void(const HostLookupAnswer&)>> pending;
    return pending;
}

HostLookupAnswer Resolve(const QByteArray& host) {
    HostLookupAnswer answer;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int rc = ::getaddrinfo(host.constData(), nullptr, &hints, &found);
    switch (rc) {
    case 0:
        break;
    case EAI_NONAME:
    case EAI_FAIL:
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
#endif
        answer.error = WSAHOST_NOT_FOUND;
        return answer;
    default:
        answer.error = WSATRY_AGAIN;
        return answer;
    }
    for (addrinfo* a = found; a; a = a->ai_next)
        if (a->ai_family == AF_INET)
            answer.addresses.push_back(
                ntohl(reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr));
    ::freeaddrinfo(found);
    if (answer.addresses.empty()) answer.error = WSANO_DATA;
    return answer;
}
} // namespace

int LookupHost(const QString& host, std::function<void(const HostLookupAnswer&)> done) {
    static int lastId = 0;
    const int id = ++lastId;
    Pending()[id] = std::move(done);
    Tasks::Submit(CancelToken(), [id, name = host.toUtf8()] {
        const HostLookupAnswer answer = Resolve(name);
        Tasks::PostToWindowThread([id, answer] {
            const auto it = Pending().find(id);
            if (it == Pending().end()) return;
            auto callback = std::move(it->second);
            Pending().erase(it);
            callback(answer);
        });
    });
    return id;
}

void AbandonHostLookup(int id) {
    Pending().erase(id);
}
