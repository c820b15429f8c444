#include "objects/namesyntax.h"

#include "objects/addresssyntax.h"

#include <QDate>
#include <QRegularExpression>

namespace {
const QStringList kSetPrefixes{"AS-", "RS-", "RTRS-", "FLTR-", "PRNG-"};

bool Matches(const QRegularExpression& pattern, const QString& text) {
    return pattern.match(text).hasMatch();
}

bool LeadingZerosTaken(const RuleTable& rules) {
    return rules.SettingIs("as-leading-zeros", "yes");
}

bool ShortIpv4(const RuleTable& rules) {
    return rules.SettingIs("ipv4-short-prefixes", "yes");
}

// A handle that the robot makes: refused where the table says so.
bool RefusedAutoHandle(const QString& value, const ValueContext& c, ValueFindings& out) {
    if (!IsAutoHandle(value) || !c.rules.Checks("no-auto-handles")) return false;
    out.push_back(RuleError("no-auto-handles", {"value", value}));
    return true;
}

// The name before a range operator ("RS-FOO^+" gives "RS-FOO" and "+").
std::pair<QString, QString> SplitOperator(const QString& item) {
    const qsizetype caret = item.indexOf('^');
    if (caret < 0) return {item, QString()};
    return {item.left(caret), item.mid(caret + 1)};
}

// Whether one member of a route set is well formed: a prefix range, an AS number, an as-set or a
// route-set name, each with an optional range operator.
Done VerifyRouteSetMember(const QString& item, Family family, const RuleTable& rules) {
    if (item.contains('/')) return VerifyRange(item, family, ShortIpv4(rules));
    const auto [name, op] = SplitOperator(item);
    if (LooksLikeAsNumber(name) && !name.contains(':')) {
        QString why;
        if (!ReadAsNumber(name, LeadingZerosTaken(rules), &why)) return Fail(why);
    } else if (Done set = VerifySetName(name, SetKindOf(name), rules); !set) {
        return set;
    }
    if (op.isEmpty()) return {};
    return VerifyOperator(op, -1, family == Family::V6 ? 128 : 32);
}

void CheckRouteSetMemberList(const QString& value, const ValueContext& c, ValueFindings& out,
                             Family family) {
    for (const QString& item : ListItems(value)) {
        const Done why = VerifyRouteSetMember(item, family, c.rules);
        if (!why) out.push_back(SyntaxError(item, "route set member", why.Error()));
    }
}

void CheckSetName(const QString& value, const ValueContext& c, ValueFindings& out,
                  const QString& prefix) {
    const Done why = VerifySetName(value, prefix, c.rules);
    if (!why) {
        out.push_back(SyntaxError(value, "set name", why.Error()));
        return;
    }
    // A new set's name starts with the AS number of its owner.
    QString asWhy;
    if (c.rule.hierarchicalOnCreate && c.action == ObjectAction::Create &&
        (!value.contains(':') || !ReadAsNumber(value.section(':', 0, 0), true, &asWhy)))
        out.push_back(RuleError("hierarchical", {"value", value}));
}

void CheckSetRefs(const QString& value, const ValueContext& c, ValueFindings& out,
                  const QString& prefix) {
    for (const QString& item : ListItems(value)) {
        const Done why = VerifySetName(item, prefix, c.rules);
        if (!why) out.push_back(SyntaxError(item, "set name", why.Error()));
    }
}

void CheckMntRoutes(const QString& value, const ValueContext& c, ValueFindings& out,
                    Family family) {
    // "MNT-NAME [{ RANGE, ... } | ANY]", or several maintainers separated by commas.
    const qsizetype brace = value.indexOf('{');
    QString head = brace < 0 ? value : value.left(brace).trimmed();
    if (brace >= 0) {
        const QString inside = value.mid(brace + 1);
        if (!inside.endsWith('}')) {
            out.push_back(SyntaxError(value, "mnt-routes", "no closing \"}\""));
            return;
        }
        for (const QString& range : ListItems(inside.chopped(1))) {
            const Done why = VerifyRange(range, family, ShortIpv4(c.rules));
            if (!why) out.push_back(SyntaxError(range, "address prefix range", why.Error()));
        }
    } else if (head.endsWith(" ANY", Qt::CaseInsensitive)) {
        head.chop(4);
    }
    for (const QString& name : ListItems(head.trimmed())) {
        const Done why = VerifyObjectName(name, c.rules);
        if (!why) out.push_back(SyntaxError(name, "maintainer name", why.Error()));
    }
}
} // namespace

bool LooksLikeAsNumber(const QString& text) {
    return text.size() > 2 && text.startsWith("AS", Qt::CaseInsensitive) &&
           (text[2].isDigit() || text[2] == '.');
}

QString SetKindOf(const QString& name) {
    for (QStringView part : QStringView(name).split(':'))
        for (const QString& prefix : kSetPrefixes)
            if (part.startsWith(prefix, Qt::CaseInsensitive)) return prefix;
    return "AS-";
}

bool IsAutoHandle(const QString& text) {
    static const QRegularExpression pattern("^AUTO-[1-9][0-9]*$",
                                            QRegularExpression::CaseInsensitiveOption);
    return Matches(pattern, text);
}

Done VerifyObjectName(const QString& name, const RuleTable& rules) {
    static const QRegularExpression pattern("^[A-Za-z]([A-Za-z0-9_-]{0,78}[A-Za-z0-9])?$");
    if (!Matches(pattern, name))
        return Fail(
            "contains invalid characters, does not start with a letter, or does not end in a "
            "letter/digit");
    if (rules.Listed("reserved-words", name)) return Fail(name + " is a reserved word");
    for (const QString& prefix : kSetPrefixes)
        if (name.startsWith(prefix, Qt::CaseInsensitive))
            return Fail("it starts with " + prefix + ", which names sets");
    return {};
}

Done VerifySetName(const QString& name, const QString& prefix, const RuleTable& rules) {
    static const QRegularExpression component("^[A-Za-z0-9_-]*[A-Za-z0-9]$");
    bool named = false;
    for (const QString& part : name.split(':')) {
        if (part.isEmpty()) return Fail("an empty component");
        if (part.startsWith(prefix, Qt::CaseInsensitive)) {
            if (!Matches(component, part.mid(prefix.size())))
                return Fail("component " + part + " contains invalid characters");
            if (rules.Listed("reserved-words", part))
                return Fail("component " + part + " is a reserved word");
            named = true;
            continue;
        }
        if (LooksLikeAsNumber(part)) {
            QString why;
            if (!ReadAsNumber(part, LeadingZerosTaken(rules), &why))
                return Fail("component " + part + ": " + why);
            continue;
        }
        for (const QString& other : kSetPrefixes)
            if (part.startsWith(other, Qt::CaseInsensitive))
                return Fail("component " + part + " names another kind of set than " + prefix);
        return Fail("component " + part + " is neither an AS number nor a name starting with " +
                    prefix);
    }
    if (!named)
        return Fail("at least one component must be an actual set name (i.e. start with " + prefix +
                    ")");
    return {};
}

Done VerifyMailAddress(const QString& address) {
    static const QRegularExpression pattern(
        "^[^\\s@<>()\\[\\]\\\\,;:\"]+@[^\\s@<>()\\[\\]\\\\,;:\"]+$");
    if (!Matches(pattern, address)) return Fail("not one mail address");
    const qsizetype at = address.indexOf('@');
    for (QChar ch : QStringView(address).left(at))
        if (ch.unicode() > 127) return Fail("the part before \"@\" must be ASCII");
    const QString domain = address.mid(at + 1);
    if (domain.startsWith('.') || domain.endsWith('.') || domain.contains("..") ||
        !domain.contains('.'))
        return Fail("\"" + domain + "\" is no mail domain");
    return {};
}

void CheckFreeText(const QString&, const ValueContext&, ValueFindings&) {}

void CheckPersonName(const QString& value, const ValueContext&, ValueFindings& out) {
    // Two words at least; the first starts with a letter; words of letters, digits and .`'_-
    static const QRegularExpression word("^[\\w.`'-]+$",
                                         QRegularExpression::UseUnicodePropertiesOption);
    const QStringList words = value.split(' ', Qt::SkipEmptyParts);
    bool valid = words.size() >= 2 && words.front().front().isLetter();
    for (const QString& w : words)
        valid = valid && Matches(word, w);
    if (!valid)
        out.push_back(
            SyntaxError(value, "name", "two words at least, the first starting with a letter"));
}

void CheckAsName(const QString& value, const ValueContext&, ValueFindings& out) {
    static const QRegularExpression pattern("^[A-Za-z]([A-Za-z0-9_-]{0,78}[A-Za-z0-9])?$");
    if (!Matches(pattern, value))
        out.push_back(
            SyntaxError(value, "AS name", "a letter first, then letters, digits, \"_\" and \"-\""));
}

void CheckNicHandle(const QString& value, const ValueContext& c, ValueFindings& out) {
    if (RefusedAutoHandle(value, c, out) || IsAutoHandle(value)) return;
    if (!c.rules.SettingIs("nic-hdl", "strict")) {
        static const QRegularExpression generic("^[A-Za-z0-9][A-Za-z0-9_-]*$");
        if (!Matches(generic, value))
            out.push_back(SyntaxError(value, "handle", "letters, digits, \"_\" and \"-\" only"));
        return;
    }
    // Up to four letters, up to six digits (no leading zero), and a suffix that is a country
    // code or a registry's.
    static const QRegularExpression strict(
        "^[A-Z]{2,4}([1-9][0-9]{0,5})?(-([A-Z][A-Z0-9_]{1,9}))?$",
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = strict.match(value);
    QString why;
    if (!m.hasMatch())
        why = "two to four letters, up to six digits and an optional -SUFFIX";
    else if (!m.captured(3).isEmpty() && !c.rules.Listed("countries", m.captured(3)) &&
             !c.rules.Listed("nic-hdl-suffixes", m.captured(3)))
        why = "the suffix " + m.captured(3) + " is neither a country code nor a registry's";
    if (!why.isEmpty()) out.push_back(SyntaxError(value, "handle", why));
}

void CheckOrgRef(const QString& value, const ValueContext& c, ValueFindings& out) {
    static const QRegularExpression pattern("^ORG-[A-Z]{2,4}([1-9][0-9]{0,5})?(-[A-Z][A-Z0-9_]*)?$",
                                            QRegularExpression::CaseInsensitiveOption);
    if (IsAutoHandle(value) && !RefusedAutoHandle(value, c, out)) return;
    if (!Matches(pattern, value))
        out.push_back(SyntaxError(value, "organisation", "ORG- and two to four letters"));
}

void CheckMntnerName(const QString& value, const ValueContext& c, ValueFindings& out) {
    const Done why = VerifyObjectName(value, c.rules);
    if (!why) {
        out.push_back(SyntaxError(value, "maintainer name", why.Error()));
        return;
    }
    if (c.rules.Listed("reserved-names", value)) out.push_back(RuleError("reserved-name", {}));
    if (c.action == ObjectAction::Create && !value.endsWith("-MNT", Qt::CaseInsensitive))
        out.push_back(RuleError("mntner-suffix", {}));
}

void CheckMntnerRef(const QString& value, const ValueContext& c, ValueFindings& out) {
    for (const QString& name : ListItems(value)) {
        const Done why = VerifyObjectName(name, c.rules);
        if (!why) out.push_back(SyntaxError(name, "maintainer name", why.Error()));
    }
}

void CheckMbrsByRef(const QString& value, const ValueContext& c, ValueFindings& out) {
    for (const QString& name : ListItems(value)) {
        if (name.compare("ANY", Qt::CaseInsensitive) == 0) continue;
        const Done why = VerifyObjectName(name, c.rules);
        if (!why) out.push_back(SyntaxError(name, "maintainer name", why.Error()));
    }
}

void CheckEmail(const QString& value, const ValueContext&, ValueFindings& out) {
    const Done why = VerifyMailAddress(value);
    if (!why) out.push_back(SyntaxError(value, "e-mail address", why.Error()));
}

void CheckPhone(const QString& value, const ValueContext&, ValueFindings& out) {
    // "+", the country code, digits in groups, an optional "(area)" and "ext. N".
    static const QRegularExpression pattern(
        "^\\+[1-9][0-9 .-]*(\\([0-9 .-]+\\)[0-9 .-]*)?( ?ext\\. ?[0-9]+)?$");
    if (!Matches(pattern, value))
        out.push_back(SyntaxError(value, "phone number",
                                  "\"+\", the country code and digits, as +31 20 535 4444"));
}

void CheckSource(const QString& value, const ValueContext& c, ValueFindings& out) {
    const QStringList comments = c.attribute.Comments();
    for (const QString& comment : comments) {
        if (comment.compare("Filtered", Qt::CaseInsensitive) == 0 && c.rules.Checks("filtered")) {
            out.push_back(RuleError("filtered", {}));
            return;
        }
    }
    if (!comments.isEmpty()) out.push_back(RuleError("source-comment", {}));
    static const QRegularExpression name("^[A-Za-z][A-Za-z0-9_-]*[A-Za-z0-9]$");
    if (!Matches(name, value)) {
        out.push_back(SyntaxError(value, "name",
                                  "contains invalid characters, does not start with a letter, or "
                                  "does not end in a letter/digit"));
        return;
    }
    if (!c.registry.source.isEmpty() && value.compare(c.registry.source, Qt::CaseInsensitive) != 0)
        out.push_back(RuleError("source", {"value", value, "source", c.registry.source}));
}

void CheckChanged(const QString& value, const ValueContext&, ValueFindings& out) {
    const QStringList words = value.split(' ', Qt::SkipEmptyParts);
    if (words.isEmpty() || words.size() > 2) {
        out.push_back(SyntaxError(value, "changed line", "an address and a date YYYYMMDD"));
        return;
    }
    const Done why = VerifyMailAddress(words[0]);
    if (!why) {
        out.push_back(SyntaxError(words[0], "e-mail address", why.Error()));
        return;
    }
    if (words.size() < 2) return;
    static const QRegularExpression date("^[0-9]{8}$");
    const QString& d = words[1];
    QString problem;
    if (!Matches(date, d))
        problem = "not YYYYMMDD";
    else if (d.mid(4, 2).toInt() < 1 || d.mid(4, 2).toInt() > 12)
        problem = "month out of range";
    else if (!QDate(d.left(4).toInt(), d.mid(4, 2).toInt(), d.mid(6, 2).toInt()).isValid())
        problem = "day out of range";
    else if (QDate::fromString(d, "yyyyMMdd") > QDate::currentDate().addDays(1))
        problem = "a date in the future";
    if (!problem.isEmpty()) out.push_back(SyntaxError(d, "changed date", problem));
}

void CheckKeyCertName(const QString& value, const ValueContext& c, ValueFindings& out) {
    if (RefusedAutoHandle(value, c, out)) return;
    static const QRegularExpression pgp("^PGPKEY-[0-9A-F]{8}$",
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression x509("^X509-[1-9][0-9]*$",
                                         QRegularExpression::CaseInsensitiveOption);
    const bool valid = (c.rules.Listed("key-cert-names", "PGPKEY") && Matches(pgp, value)) ||
                       (c.rules.Listed("key-cert-names", "X509") && Matches(x509, value)) ||
                       (c.rules.Listed("key-cert-names", "AUTO") && IsAutoHandle(value));
    if (!valid)
        out.push_back(SyntaxError(
            value, "key-cert name",
            "PGPKEY- and the last 8 hex digits of the key's id" +
                QString(c.rules.Listed("key-cert-names", "X509") ? ", X509-n or AUTO-n" : "")));
}

void CheckAsSetName(const QString& value, const ValueContext& c, ValueFindings& out) {
    CheckSetName(value, c, out, "AS-");
}
void CheckRouteSetName(const QString& value, const ValueContext& c, ValueFindings& out) {
    CheckSetName(value, c, out, "RS-");
}
void CheckAsSetRef(const QString& value, const ValueContext& c, ValueFindings& out) {
    CheckSetRefs(value, c, out, "AS-");
}
void CheckRouteSetRef(const QString& value, const ValueContext& c, ValueFindings& out) {
    CheckSetRefs(value, c, out, "RS-");
}

void CheckAsSetMembers(const QString& value, const ValueContext& c, ValueFindings& out) {
    for (const QString& item : ListItems(value)) {
        QString why;
        if (LooksLikeAsNumber(item) && !item.contains(':'))
            ReadAsNumber(item, LeadingZerosTaken(c.rules), &why);
        else if (const Done set = VerifySetName(item, "AS-", c.rules); !set)
            why = set.Error();
        if (!why.isEmpty()) out.push_back(SyntaxError(item, "as-set member", why));
    }
}

void CheckRouteSetMembers(const QString& value, const ValueContext& c, ValueFindings& out) {
    CheckRouteSetMemberList(value, c, out, Family::V4);
}
void CheckRouteSetMpMembers(const QString& value, const ValueContext& c, ValueFindings& out) {
    CheckRouteSetMemberList(value, c, out, Family::Any);
}
void CheckMntRoutesV4(const QString& value, const ValueContext& c, ValueFindings& out) {
    CheckMntRoutes(value, c, out, Family::V4);
}
void CheckMntRoutesV6(const QString& value, const ValueContext& c, ValueFindings& out) {
    CheckMntRoutes(value, c, out, Family::V6);
}
