#include "objects/policysyntax.h"

#include "objects/addresssyntax.h"
#include "objects/namesyntax.h"

#include <QRegularExpression>

namespace {
const QStringList kKeywords{"from",     "to",     "at",      "action",   "accept",
                            "announce", "except", "refine",  "networks", "protocol",
                            "into",     "afi",    "upon",    "and",      "or",
                            "not",      "atomic", "inbound", "outbound"};
const QStringList kAfis{"ipv4",           "ipv6",           "any",
                        "ipv4.unicast",   "ipv4.multicast", "ipv6.unicast",
                        "ipv6.multicast", "any.unicast",    "any.multicast"};
const QStringList kRpAttributes{"pref", "med", "dpa", "aspath", "community", "next-hop", "cost"};
const QStringList kWellKnownCommunities{"NO_EXPORT", "NO_ADVERTISE", "NO_EXPORT_SUBCONFED",
                                        "INTERNET"};

QStringList Tokens(const QString& text, QString* why) {
    static const QString specials = "{}();,";
    QStringList tokens;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const QChar c = text[i];
        if (c.isSpace()) {
            ++i;
        } else if (specials.contains(c)) {
            tokens << QString(c);
            ++i;
        } else if (c == '<' && (i + 1 >= n || text[i + 1] != '=')) {
            const qsizetype end = text.indexOf('>', i);
            if (end < 0) {
                *why = "an AS path expression without its closing \">\"";
                return {};
            }
            tokens << text.mid(i, end - i + 1);
            i = end + 1;
        } else if (c == '=' || c == '<' || c == '>') {
            const bool two = i + 1 < n && text[i + 1] == '=';
            tokens << text.mid(i, two ? 2 : 1);
            i += two ? 2 : 1;
        } else {
            qsizetype end = i;
            while (end < n && !text[end].isSpace() && !specials.contains(text[end]) &&
                   text[end] != '=' && text[end] != '<' && text[end] != '>')
                ++end;
            QString word = text.mid(i, end - i);
            // "community.=" and the like: the operator's first character ends the word.
            if (end < n && text[end] == '=' && word.size() > 1 &&
                QString(".+-*/!").contains(word.back())) {
                tokens << word.chopped(1) << word.right(1) + '=';
                i = end + 1;
                continue;
            }
            tokens << word;
            i = end;
        }
    }
    return tokens;
}

class PolicyReader {
public:
    PolicyReader(QStringList tokens, Family family, const RuleTable& rules)
        : tokens_(std::move(tokens)), family_(family), rules_(rules) {}

    const QString& Why() const { return why_; }
    bool AtEnd() const { return at_ >= tokens_.size(); }

    bool Import(bool mp) { return (!mp || Afi()) && ImportExpression() && Finish(); }
    bool Export(bool mp) { return (!mp || Afi()) && ExportExpression() && Finish(); }
    bool Via(bool mp, bool import) {
        if (mp && !Afi()) return false;
        if (!AsExpression()) return false;
        return (import ? ImportExpression() : ExportExpression()) && Finish();
    }
    bool Default(bool mp) {
        if (mp && !Afi()) return false;
        if (!Expect("to") || !Peering()) return false;
        if (Accept("action") && !Action()) return false;
        if (Accept("networks") && !Filter()) return false;
        return Finish();
    }
    bool Components() {
        Accept("atomic");
        if (!AtEnd() && !Is("protocol") && !Filter()) return false;
        while (Accept("protocol")) {
            if (!Word("a protocol name") || !Filter()) return false;
        }
        return Finish();
    }
    bool Inject() {
        if (Accept("at") && !RouterExpression()) return false;
        if (Accept("action") && !Action()) return false;
        if (Accept("upon") && !Condition()) return false;
        return Finish();
    }
    bool AggregationMethod() {
        if (Accept("inbound")) return Finish();
        if (!Expect("outbound")) return false;
        if (!AtEnd() && !AsExpression()) return false;
        return Finish();
    }
    bool AsExpressionAlone() { return AsExpression() && Finish(); }
    bool FilterAlone() { return Filter() && Finish(); }

private:
    QString Peek() const { return AtEnd() ? QString() : tokens_[at_]; }
    bool Is(const QString& word) const {
        return !AtEnd() && tokens_[at_].compare(word, Qt::CaseInsensitive) == 0;
    }
    bool Accept(const QString& word) {
        if (!Is(word)) return false;
        ++at_;
        return true;
    }
    bool Problem(const QString& why) {
        if (why_.isEmpty()) why_ = why;
        return false;
    }
    QString Shown() const { return AtEnd() ? QString("the end") : "\"" + Peek() + "\""; }
    bool Expect(const QString& word) {
        return Accept(word) || Problem("expected \"" + word + "\", not " + Shown());
    }
    bool Word(const char* what) {
        if (AtEnd() || IsKeyword(Peek()) || Peek().size() == 1)
            return Problem(QString("expected ") + what + ", not " + Shown());
        ++at_;
        return true;
    }
    static bool IsKeyword(const QString& word) { return kKeywords.contains(word.toLower()); }
    bool Finish() {
        Accept(";");
        return AtEnd() || Problem("unexpected " + Shown());
    }

    bool Afi() {
        if (!Accept("afi")) return true; // the list is optional
        do {
            if (AtEnd() || !kAfis.contains(Peek().toLower()))
                return Problem("expected an address family such as ipv6.unicast, not " + Shown());
            ++at_;
        } while (Accept(","));
        return true;
    }

    // import-expression: a term, then EXCEPT or REFINE and another expression.
    bool ImportExpression() { return PolicyExpression(true); }
    bool ExportExpression() { return PolicyExpression(false); }
    bool PolicyExpression(bool import) {
        if (!PolicyTerm(import)) return false;
        if (Accept("except") || Accept("refine")) {
            if (!Afi()) return false;
            return PolicyExpression(import);
        }
        return true;
    }
    bool PolicyTerm(bool import) {
        if (!Accept("{")) return PolicyFactor(import);
        do {
            if (!PolicyFactor(import) || !Expect(";")) return false;
        } while (!Is("}") && !AtEnd());
        return Expect("}");
    }
    bool PolicyFactor(bool import) {
        if (Accept("protocol") && !Word("a protocol name")) return false;
        if (Accept("into") && !Word("a protocol name")) return false;
        const QString direction = import ? "from" : "to";
        if (!Expect(direction)) return false;
        do {
            if (!Peering()) return false;
            if (Accept("action") && !Action()) return false;
        } while (Accept(direction));
        if (!Expect(import ? "accept" : "announce")) return false;
        return Filter();
    }

    bool Peering() {
        if (!AtEnd() && Peek().startsWith("PRNG-", Qt::CaseInsensitive)) return SetName("PRNG-");
        if (!AsExpression()) return false;
        if (!AtEnd() && !IsKeyword(Peek()) && Peek() != ";" && Peek() != "}" && !RouterExpression())
            return false;
        if (Accept("at") && !RouterExpression()) return false;
        return true;
    }

    // Terms joined by AND, OR and EXCEPT; a term in parentheses is an expression again.
    bool Expression(bool (PolicyReader::*term)()) {
        do {
            if (Accept("(")) {
                if (!Expression(term) || !Expect(")")) return false;
            } else if (!(this->*term)()) {
                return false;
            }
        } while (Accept("and") || Accept("or") || Accept("except"));
        return true;
    }

    bool AsExpression() { return Expression(&PolicyReader::AsTerm); }
    bool AsTerm() {
        const QString word = Peek();
        if (AtEnd() || IsKeyword(word))
            return Problem("expected an AS number or as-set, not " + Shown());
        if (word.compare("AS-ANY", Qt::CaseInsensitive) == 0 ||
            word.compare("PeerAS", Qt::CaseInsensitive) == 0) {
            ++at_;
            return true;
        }
        if (LooksLikeAsNumber(word) && !word.contains(':')) return AsNumber(word);
        return SetName("AS-");
    }
    bool AsNumber(const QString& word) {
        QString why;
        if (!ReadAsNumber(word, rules_.SettingIs("as-leading-zeros", "yes"), &why))
            return Problem(word + ": " + why);
        ++at_;
        return true;
    }
    bool SetName(const QString& prefix) {
        const QString word = Peek();
        const Done why = VerifySetName(word, prefix, rules_);
        if (!why) return Problem(word + ": " + why.Error());
        ++at_;
        return true;
    }

    bool RouterExpression() { return Expression(&PolicyReader::RouterTerm); }
    bool RouterTerm() {
        const QString word = Peek();
        if (AtEnd() || IsKeyword(word) || word.size() == 1)
            return Problem("expected a router, not " + Shown());
        if (ParseIpAddress(word)) {
            ++at_;
            return true;
        }
        if (word.contains('/'))
            return Problem(word + " is a prefix where a router address is asked for");
        if (word.contains(':') || word.startsWith("RTRS-", Qt::CaseInsensitive))
            return SetName("RTRS-");
        static const QRegularExpression host(
            "^[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?(\\.[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?)+$");
        if (!host.match(word).hasMatch()) return Problem(word + " is no router address or name");
        ++at_;
        return true;
    }

    // action: rp-attribute operations, each ended by ";" (the last one may end the value).
    bool Action() {
        do {
            if (!ActionItem()) return false;
            if (!Accept(";")) break;
        } while (!AtEnd() && !IsKeyword(Peek()));
        return true;
    }
    bool ActionItem() {
        const QString word = Peek();
        const QString attribute = word.section('.', 0, 0).toLower();
        if (AtEnd() || !kRpAttributes.contains(attribute))
            return Problem("expected an action such as pref=100 or community.append(...), not " +
                           Shown());
        ++at_;
        const bool community = attribute == "community";
        if (word.contains('.')) {
            // A method: community.append(65535:1, ...)
            return Expect("(") && Arguments(community, ")");
        }
        if (AtEnd() || !QString("= == != <= >= .= += -= *= /= < >").split(' ').contains(Peek()))
            return Problem("expected an operator after " + word + ", not " + Shown());
        ++at_;
        if (Accept("{")) return Arguments(community, "}");
        if (AtEnd() || Peek() == ";") return Problem("expected a value after the operator");
        const QString value = Peek();
        ++at_;
        return !community || Community(value);
    }
    bool Arguments(bool community, const QString& close) {
        while (!Accept(close)) {
            if (AtEnd()) return Problem("expected \"" + close + "\"");
            if (Accept(",")) continue;
            const QString value = Peek();
            if (value == "{" || value == "(" || value == ";")
                return Problem("unexpected \"" + value + "\"");
            ++at_;
            if (community && !Community(value)) return false;
        }
        return true;
    }
    bool Community(const QString& value) {
        if (kWellKnownCommunities.contains(value.toUpper())) return true;
        const QStringList parts = value.split(':');
        bool ok = parts.size() <= 2;
        for (const QString& part : parts) {
            bool number = false;
            const qulonglong n = part.toULongLong(&number);
            ok = ok && number && n <= (parts.size() == 2 ? 65535ULL : 4294967295ULL);
        }
        return ok || Problem("community " + value + " is out of range (two numbers of 0 to 65535)");
    }

    // filter: terms joined by AND, OR or nothing (which is OR), NOT before a term.
    bool Filter() {
        if (!FilterAnd()) return false;
        while (Accept("or") || StartsFilterTerm())
            if (!FilterAnd()) return false;
        return true;
    }
    bool FilterAnd() {
        do {
            if (!FilterNot()) return false;
        } while (Accept("and"));
        return true;
    }
    bool FilterNot() {
        if (Accept("not")) return FilterNot();
        return FilterTerm();
    }
    bool StartsFilterTerm() const {
        if (AtEnd()) return false;
        const QString& t = tokens_[at_];
        if (t == "(" || t == "{" || t.startsWith('<') || Is("not")) return true;
        return !IsKeyword(t) && t.size() > 1 && !t.startsWith('^');
    }
    bool FilterTerm() {
        if (Accept("(")) return Filter() && Expect(")");
        if (Accept("{")) return PrefixSet();
        const QString word = Peek();
        if (AtEnd() || IsKeyword(word) || word.size() == 1)
            return Problem("expected a filter, not " + Shown());
        ++at_;
        if (word.startsWith('<')) return true;
        if (word.compare("community", Qt::CaseInsensitive) == 0 ||
            word.startsWith("community.", Qt::CaseInsensitive))
            return Expect("(") && Arguments(true, ")");
        if (word.compare("ANY", Qt::CaseInsensitive) == 0 ||
            word.compare("PeerAS", Qt::CaseInsensitive) == 0 ||
            word.compare("AS-ANY", Qt::CaseInsensitive) == 0 ||
            word.compare("RS-ANY", Qt::CaseInsensitive) == 0)
            return true;
        const qsizetype caret = word.indexOf('^');
        const QString name = caret < 0 ? word : word.left(caret);
        QString why;
        if (name.contains('/')) {
            return Problem(word + ": a prefix outside { }");
        } else if (LooksLikeAsNumber(name) && !name.contains(':')) {
            ReadAsNumber(name, rules_.SettingIs("as-leading-zeros", "yes"), &why);
        } else if (name.contains(':') || name.contains('-')) {
            const QString kind = SetKindOf(name);
            if (!name.contains(':') && !name.startsWith(kind, Qt::CaseInsensitive))
                why = "neither a set name, an AS number nor a filter keyword";
            else if (const Done set = VerifySetName(name, kind, rules_); !set)
                why = set.Error();
        } else {
            why = "neither a set name, an AS number nor a filter keyword";
        }
        if (why.isEmpty() && caret >= 0)
            if (const Done op = VerifyOperator(word.mid(caret + 1), -1, 128); !op) why = op.Error();
        return why.isEmpty() || Problem(name + ": " + why);
    }
    bool PrefixSet() {
        while (!Accept("}")) {
            if (AtEnd()) return Problem("expected \"}\"");
            if (Accept(",")) continue;
            const QString item = Peek();
            const Done range =
                VerifyRange(item, family_, rules_.SettingIs("ipv4-short-prefixes", "yes"));
            if (!range) return Problem(item + ": " + range.Error());
            ++at_;
        }
        if (!AtEnd() && Peek().startsWith('^')) {
            const Done op = VerifyOperator(Peek().mid(1), -1, family_ == Family::V4 ? 32 : 128);
            if (!op) return Problem(Peek() + ": " + op.Error());
            ++at_;
        }
        return true;
    }

    // condition: HAVE-COMPONENTS { ... }, EXCLUDE { ... } or STATIC, joined by AND and OR.
    bool Condition() {
        do {
            if (Accept("(")) {
                if (!Condition() || !Expect(")")) return false;
            } else if (Accept("have-components") || Accept("exclude")) {
                if (!Expect("{") || !PrefixSet()) return false;
            } else if (!Accept("static")) {
                return Problem("expected HAVE-COMPONENTS, EXCLUDE or STATIC, not " + Shown());
            }
        } while (Accept("and") || Accept("or"));
        return true;
    }

    QStringList tokens_;
    Family family_;
    const RuleTable& rules_;
    qsizetype at_ = 0;
    QString why_;
};
} // namespace

Done VerifyPolicy(const QString& value, const QString& kind, const RuleTable& rules) {
    QString why;
    QStringList tokens = Tokens(value, &why);
    if (!why.isEmpty()) return Fail(why);
    if (tokens.isEmpty()) return Fail("an empty value");
    const bool mp = kind.startsWith("mp-");
    const Family family =
        kind.endsWith("-v4") || (!mp && (kind == "import" || kind == "export" ||
                                         kind == "default" || kind.endsWith("-via")))
            ? Family::V4
        : kind.endsWith("-v6") ? Family::V6
                               : Family::Any;
    PolicyReader reader(std::move(tokens), family, rules);
    bool ok = false;
    if (kind == "import" || kind == "mp-import")
        ok = reader.Import(mp);
    else if (kind == "export" || kind == "mp-export")
        ok = reader.Export(mp);
    else if (kind == "default" || kind == "mp-default")
        ok = reader.Default(mp);
    else if (kind == "import-via" || kind == "export-via")
        ok = reader.Via(true, kind == "import-via");
    else if (kind.startsWith("filter"))
        ok = reader.FilterAlone();
    else if (kind.startsWith("components"))
        ok = reader.Components();
    else if (kind.startsWith("inject"))
        ok = reader.Inject();
    else if (kind == "aggr-mtd")
        ok = reader.AggregationMethod();
    else if (kind == "as-expression")
        ok = reader.AsExpressionAlone();
    if (ok) return {};
    return Fail(reader.Why());
}

void CheckPolicy(const QString& value, const ValueContext& c, ValueFindings& out) {
    const Done why = VerifyPolicy(value, c.rule.syntax, c.rules);
    if (!why) out.push_back(SyntaxError(value, c.rule.syntax, why.Error()));
}
