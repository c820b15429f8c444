#pragma once
// AS numbers, addresses and prefixes as routing registries write them: "AS" and a number of 0 to
// 4294967295; IPv4 prefixes (short forms such as "195.0/24" where the rules allow them), IPv6
// prefixes, and prefix ranges with the RPSL range operators ^-, ^+, ^n and ^n-m.
#include "objects/valuesyntax.h"
#include "platform/ipaddress.h"
#include "platform/result.h"

#include <cstdint>
#include <optional>

// The number of "ASn" (any letter case), or nothing with `why` set. `leadingZeros`: whether
// "AS065537" is taken.
std::optional<uint32_t> ReadAsNumber(const QString& text, bool leadingZeros, QString* why);

struct Prefix {
    IpAddress address;
    int length = 0;
    bool V6() const { return address.v6; }
    QString ToString() const { return address.ToString() + '/' + QString::number(length); }
    bool HostBitsSet() const;
    Prefix Masked() const;
    bool Contains(const Prefix& inner) const;
};

enum class Family { V4, V6, Any };

// The prefix of "ADDRESS/LENGTH", or nothing with `why` set.
std::optional<Prefix> ReadPrefix(const QString& text, Family family, bool shortIpv4, QString* why);
// Why a prefix range "PREFIX" or "PREFIX^OP" is malformed (host bits are allowed); done when fine.
Done VerifyRange(const QString& text, Family family, bool shortIpv4);
// Why a range operator "^-", "^+", "^n" or "^n-m" is malformed after a prefix of `length` bits
// in an address of `bits` (`length` < 0 for a set name: any length); done when fine.
Done VerifyOperator(const QString& op, int length, int bits);

void CheckAsNumberValue(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckRouteOrigin(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckIpv4RoutePrefix(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckIpv6RoutePrefix(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckIpv4Address(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckIpv6Address(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckIpv4Holes(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckIpv6Holes(const QString& value, const ValueContext& c, ValueFindings& out);
