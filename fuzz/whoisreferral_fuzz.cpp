// The WHOIS referral finder on any answer, asked for any name: a server it names is a usable host
// name (no blanks, control characters or slashes) with a port, and its key is in lower case; a
// referral it cannot follow is never one it follows too.
#include "fuzzinput.h"
#include "lookup/whoisreferral.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const QString asked = QString::fromLatin1(input.Bytes(input.Byte() % 16));
    const QStringList lines = QString::fromLatin1(input.Rest()).split('\n');
    const WhoisReferral referral = FindReferral(lines, asked);
    if (!referral.unsupported.isEmpty())
        Require(!referral.server, "an unsupported referral that is followed as well");
    const std::optional<WhoisServer>& server = referral.server;
    if (!server) return 0;
    Require(!server->host.isEmpty(), "an empty host");
    Require(server->port != 0, "port 0");
    for (QChar c : server->host)
        if (c.isSpace() || c.category() == QChar::Other_Control || c == '/')
            PropertyFailed("the host holds a blank, control character or slash",
                           server->host.toUtf8());
    Require(server->Key() == server->Key().toLower(), "the key is not in lower case");
    return 0;
}
