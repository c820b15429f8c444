#include "objects/syntaxtable.h"

#include "objects/addresssyntax.h"
#include "objects/authsyntax.h"
#include "objects/keycert.h"
#include "objects/namesyntax.h"
#include "objects/policysyntax.h"
#include "objects/reversezone.h"

#include <QHash>

namespace {
const QHash<QString, SyntaxCheck>& Syntaxes() {
    static const QHash<QString, SyntaxCheck> syntaxes{
        {"free-text", CheckFreeText},
        {"person-name", CheckPersonName},
        {"as-name", CheckAsName},
        {"nic-handle", CheckNicHandle},
        {"org-ref", CheckOrgRef},
        {"mntner-name", CheckMntnerName},
        {"mntner-ref", CheckMntnerRef},
        {"mbrs-by-ref", CheckMbrsByRef},
        {"email", CheckEmail},
        {"phone", CheckPhone},
        {"source", CheckSource},
        {"changed", CheckChanged},
        {"auth", CheckAuth},
        {"key-cert-name", CheckKeyCertName},
        {"certif", CheckCertif},
        {"reverse-zone", CheckReverseZone},
        {"nserver", CheckNameServer},
        {"ds-rdata", CheckDsRdata},
        {"as-number", CheckAsNumberValue},
        {"route-origin", CheckRouteOrigin},
        {"ipv4-route-prefix", CheckIpv4RoutePrefix},
        {"ipv6-route-prefix", CheckIpv6RoutePrefix},
        {"ipv4-address", CheckIpv4Address},
        {"ipv6-address", CheckIpv6Address},
        {"ipv4-holes", CheckIpv4Holes},
        {"ipv6-holes", CheckIpv6Holes},
        {"as-set-name", CheckAsSetName},
        {"route-set-name", CheckRouteSetName},
        {"as-set-ref", CheckAsSetRef},
        {"route-set-ref", CheckRouteSetRef},
        {"as-set-members", CheckAsSetMembers},
        {"route-set-members", CheckRouteSetMembers},
        {"route-set-mp-members", CheckRouteSetMpMembers},
        {"mnt-routes-v4", CheckMntRoutesV4},
        {"mnt-routes-v6", CheckMntRoutesV6},
        {"import", CheckPolicy},
        {"mp-import", CheckPolicy},
        {"export", CheckPolicy},
        {"mp-export", CheckPolicy},
        {"default", CheckPolicy},
        {"mp-default", CheckPolicy},
        {"import-via", CheckPolicy},
        {"export-via", CheckPolicy},
        {"filter-v4", CheckPolicy},
        {"filter-v6", CheckPolicy},
        {"components-v4", CheckPolicy},
        {"components-v6", CheckPolicy},
        {"inject-v4", CheckPolicy},
        {"inject-v6", CheckPolicy},
        {"aggr-mtd", CheckPolicy},
        {"as-expression", CheckPolicy},
    };
    return syntaxes;
}
} // namespace

bool IsKnownSyntax(const QString& name) {
    return Syntaxes().contains(name);
}

SyntaxCheck SyntaxNamed(const QString& name) {
    return Syntaxes().value(name, nullptr);
}
