#include "objects/addresssyntax.h"

namespace {
bool AllDigits(QStringView text) {
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

std::optional<IpAddress> ReadIpv4(const QString& text, bool shortForm, QString* why) {
    const QStringList parts = text.split('.');
    if (parts.size() > 4 || (parts.size() < 4 && !shortForm)) {
        *why = parts.size() > 4 ? "more than four octets" : "all four octets must be written";
        return std::nullopt;
    }
    IpAddress address;
    for (int i = 0; i < parts.size(); ++i) {
        if (!AllDigits(parts[i]) || parts[i].size() > 3 || parts[i].toInt() > 255) {
            *why = "\"" + parts[i] + "\" is no octet";
            return std::nullopt;
        }
        address.bytes[size_t(i)] = uint8_t(parts[i].toInt());
    }
    return address;
}

std::vector<Prefix> ReadBogons(const RuleTable& rules) {
    std::vector<Prefix> prefixes;
    for (const QString& text : rules.Setting("bogons")) {
        QString why;
        if (const std::optional<Prefix> bogon = ReadPrefix(text, Family::Any, false, &why))
            prefixes.push_back(*bogon);
    }
    return prefixes;
}

bool IsBogon(const Prefix& prefix, const RuleTable& rules) {
    for (const Prefix& bogon : rules.Derived("bogons", ReadBogons))
        if (bogon.Contains(prefix)) return true;
    return false;
}

void CheckRoutePrefix(const QString& value, const ValueContext& c, ValueFindings& out,
                      Family family) {
    QString why;
    const bool shortForm = c.rules.SettingIs("ipv4-short-prefixes", "yes");
    const std::optional<Prefix> prefix = ReadPrefix(value, family, shortForm, &why);
    if (!prefix) {
        out.push_back(SyntaxError(value, "address prefix", why));
        return;
    }
    if (prefix->HostBitsSet()) {
        const QString what =
            "host bits set beyond the prefix length /" + QString::number(prefix->length);
        if (prefix->V6() && c.rules.SettingIs("ipv6-host-bits", "warning"))
            out.push_back(Warning(value + " has " + what + ": the registry keeps it as " +
                                  prefix->Masked().ToString()));
        else
            out.push_back(SyntaxError(value, "address prefix", what));
        return;
    }
    if (IsBogon(*prefix, c.rules)) out.push_back(RuleError("bogon", {"value", value}));
}

void CheckAddress(const QString& value, ValueFindings& out, bool v6) {
    const std::optional<IpAddress> address = v6 ? ParseIpv6(value) : ParseIpv4(value);
    if (!address)
        out.push_back(
            SyntaxError(value, "address", v6 ? "not an IPv6 address" : "not an IPv4 address"));
}

void CheckHoles(const QString& value, const ValueContext& c, ValueFindings& out, Family family) {
    QString why;
    const bool shortForm = c.rules.SettingIs("ipv4-short-prefixes", "yes");
    const QString route = c.object.ClassValue();
    const std::optional<Prefix> outer = ReadPrefix(route, family, shortForm, &why);
    for (const QString& item : ListItems(value)) {
        const std::optional<Prefix> hole = ReadPrefix(item, family, shortForm, &why);
        if (!hole) {
            out.push_back(SyntaxError(item, "address prefix", why));
        } else if (!hole->V6() && hole->HostBitsSet()) {
            out.push_back(SyntaxError(item, "address prefix",
                                      "host bits set beyond the prefix length /" +
                                          QString::number(hole->length)));
        } else if (outer && !outer->Masked().Contains(*hole)) {
            out.push_back(RuleError("hole-outside", {"value", item}));
        }
    }
}
} // namespace

std::optional<uint32_t> ReadAsNumber(const QString& text, bool leadingZeros, QString* why) {
    if (!text.startsWith("AS", Qt::CaseInsensitive)) {
        *why = "it does not start with AS";
        return std::nullopt;
    }
    const QStringView number = QStringView(text).mid(2);
    if (!AllDigits(number)) {
        *why = "number part is not numeric";
        return std::nullopt;
    }
    if (!leadingZeros && number.size() > 1 && number[0] == '0') {
        *why = "a leading zero";
        return std::nullopt;
    }
    bool ok = false;
    const qulonglong n = number.size() > 12 ? 0 : number.toULongLong(&ok);
    if (!ok || n > 4294967295ULL) {
        *why = "the number is above 4294967295";
        return std::nullopt;
    }
    return uint32_t(n);
}

bool Prefix::HostBitsSet() const {
    for (int bit = length; bit < address.Bits(); ++bit)
        if (address.bytes[size_t(bit / 8)] & (0x80 >> (bit % 8))) return true;
    return false;
}

Prefix Prefix::Masked() const {
    Prefix masked = *this;
    for (int bit = length; bit < address.Bits(); ++bit)
        masked.address.bytes[size_t(bit / 8)] &= uint8_t(~(0x80 >> (bit % 8)));
    return masked;
}

bool Prefix::Contains(const Prefix& inner) const {
    return inner.V6() == V6() && inner.length >= length &&
           InNetwork(inner.address, address, length);
}

std::optional<Prefix> ReadPrefix(const QString& text, Family family, bool shortIpv4, QString* why) {
    const qsizetype slash = text.indexOf('/');
    if (slash < 0) {
        *why = "no prefix length";
        return std::nullopt;
    }
    const QString addressText = text.left(slash);
    const QStringView lengthText = QStringView(text).mid(slash + 1);
    const bool v6 = addressText.contains(':');
    if ((v6 && family == Family::V4) || (!v6 && family == Family::V6)) {
        *why = v6 ? "an IPv6 prefix where IPv4 is asked for"
                  : "an IPv4 prefix where IPv6 is asked for";
        return std::nullopt;
    }
    Prefix prefix;
    if (v6) {
        const std::optional<IpAddress> address = ParseIpv6(addressText);
        if (!address) {
            *why = "\"" + addressText + "\" is no IPv6 address";
            return std::nullopt;
        }
        prefix.address = *address;
    } else {
        const std::optional<IpAddress> address = ReadIpv4(addressText, shortIpv4, why);
        if (!address) return std::nullopt;
        prefix.address = *address;
    }
    if (!AllDigits(lengthText) || lengthText.size() > 3 ||
        lengthText.toInt() > prefix.address.Bits()) {
        *why = "the prefix length " + lengthText.toString() + " is out of range";
        return std::nullopt;
    }
    prefix.length = lengthText.toInt();
    return prefix;
}

Done VerifyOperator(const QString& op, int length, int bits) {
    if (op == "-" || op == "+") return {};
    const QStringList parts = op.split('-');
    if (parts.size() > 2 || !AllDigits(parts[0]) || (parts.size() == 2 && !AllDigits(parts[1])))
        return Fail("unknown range operator ^" + op);
    const int from = parts[0].toInt();
    const int to = parts.size() == 2 ? parts[1].toInt() : from;
    if (length >= 0 && from < length)
        return Fail(
            QString("operator length (%1) must be equal to or longer than prefix length (%2)")
                .arg(from)
                .arg(length));
    if (to > bits)
        return Fail(QString("operator length (%1) is longer than %2 bits").arg(to).arg(bits));
    if (to < from) return Fail(QString("operator range %1-%2 is reversed").arg(from).arg(to));
    return {};
}

Done VerifyRange(const QString& text, Family family, bool shortIpv4) {
    const qsizetype caret = text.indexOf('^');
    QString why;
    const std::optional<Prefix> prefix =
        ReadPrefix(caret < 0 ? text : text.left(caret), family, shortIpv4, &why);
    if (!prefix) return Fail(why);
    if (caret < 0) return {};
    return VerifyOperator(text.mid(caret + 1), prefix->length, prefix->address.Bits());
}

void CheckAsNumberValue(const QString& value, const ValueContext& c, ValueFindings& out) {
    QString why;
    if (!ReadAsNumber(value, c.rules.SettingIs("as-leading-zeros", "yes"), &why))
        out.push_back(SyntaxError(value, "AS number", why));
}

void CheckRouteOrigin(const QString& value, const ValueContext& c, ValueFindings& out) {
    QString why;
    const std::optional<uint32_t> number =
        ReadAsNumber(value, c.rules.SettingIs("as-leading-zeros", "yes"), &why);
    if (!number) {
        out.push_back(SyntaxError(value, "AS number", why));
        return;
    }
    for (const QString& range : c.rules.Setting("reserved-as")) {
        const QStringList ends = range.split('-');
        const qulonglong low = ends.front().toULongLong();
        const qulonglong high = ends.back().toULongLong();
        if (*number >= low && *number <= high) {
            out.push_back(RuleError("reserved-as", {"value", QString::number(*number)}));
            return;
        }
    }
}

void CheckIpv4RoutePrefix(const QString& value, const ValueContext& c, ValueFindings& out) {
    CheckRoutePrefix(value, c, out, Family::V4);
}
void CheckIpv6RoutePrefix(const QString& value, const ValueContext& c, ValueFindings& out) {
    CheckRoutePrefix(value, c, out, Family::V6);
}
void CheckIpv4Address(const QString& value, const ValueContext&, ValueFindings& out) {
    CheckAddress(value, out, false);
}
void CheckIpv6Address(const QString& value, const ValueContext&, ValueFindings& out) {
    CheckAddress(value, out, true);
}
void CheckIpv4Holes(const QString& value, const ValueContext& c, ValueFindings& out) {
    CheckHoles(value, c, out, Family::V4);
}
void CheckIpv6Holes(const QString& value, const ValueContext& c, ValueFindings& out) {
    CheckHoles(value, c, out, Family::V6);
}
