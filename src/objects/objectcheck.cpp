#include "objects/objectcheck.h"

#include "objects/authsyntax.h"
#include "objects/keycert.h"
#include "objects/namesyntax.h"
#include "objects/syntaxtable.h"

#include <QHash>
#include <QSet>

namespace {
// Names that are no attributes of an object, but the message's lines for its robot.
const QStringList kMessageLines{"password", "override"};

class Findings {
public:
    Findings(const RpslObject& object, const Registry& registry, const RuleTable& rules)
        : registry_(registry), rules_(rules), className_(object.ClassName()) {}

    void Add(const QString& attribute, const ValueFinding& finding, int line = 0) {
        QString text = finding.text;
        if (!finding.message.isEmpty()) {
            if (!rules_.Checks(finding.message)) return;
            text = FillMessage(rules_.Message(finding.message),
                               finding.fields + QStringList{"attribute", attribute, "class",
                                                            className_, "source", registry_.source,
                                                            "registry", registry_.name, "line",
                                                            QString::number(line)});
        }
        lines_.push_back({finding.verdict, attribute, text});
    }
    void Error(const QString& attribute, const QString& key, const QStringList& fields = {},
               int line = 0) {
        Add(attribute, RuleError(key, fields), line);
    }
    void Own(CheckVerdict verdict, const QString& attribute, const QString& text) {
        lines_.push_back({verdict, attribute, text});
    }
    ObjectCheckLines& Lines() { return lines_; }

private:
    const Registry& registry_;
    const RuleTable& rules_;
    QString className_;
    ObjectCheckLines lines_;
};

bool IsLatin1(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF) return false;
    return true;
}

// Values that may stay empty: free text, and the armour's empty line.
bool MayBeEmpty(const AttributeRule& rule) {
    return rule.syntax == "free-text" || rule.syntax == "certif";
}

void CheckKeyring(const RpslObject& object, const CheckOptions& options, Findings& findings) {
    if (!options.secretKeyHeld || object.ClassName() != "mntner") return;
    for (const RpslAttribute* auth : object.All("auth")) {
        const QString value = auth->Clean();
        if (AuthScheme(value) != "PGPKEY" || !VerifyAuth(value)) continue;
        const std::optional<bool> held = options.secretKeyHeld(value.mid(7).toUpper());
        if (held && !*held)
            findings.Own(CheckVerdict::Warning, "auth",
                         value + ": your keyring holds no secret key with this id, so you cannot "
                                 "sign for this maintainer with it");
    }
}
} // namespace

ObjectAction ActionOf(const RpslObject& object, ObjectAction otherwise) {
    return object.Has("delete") ? ObjectAction::Delete : otherwise;
}

QString ObjectKey(const RpslObject& object, const RuleTable& rules) {
    const ClassRules* rulesOfClass = rules.Class(object.ClassName());
    if (!rulesOfClass) return object.ClassValue();
    QString key;
    for (const AttributeRule& rule : rulesOfClass->attributes)
        if (rule.key) key += object.First(rule.name);
    return key;
}

QString ObjectTitle(const RpslObject& object, const RuleTable& rules) {
    return object.ClassName() + ' ' + ObjectKey(object, rules);
}

ObjectCheckLines CheckObject(const RpslObject& object, const Registry& registry,
                             const RuleTable& rules, const CheckOptions& options) {
    Findings findings(object, registry, rules);
    const ObjectAction action = ActionOf(object, options.action);
    for (const RpslAttribute& a : object.attributes)
        if (a.malformed)
            findings.Error(a.name, "malformed", {"value", a.name.isEmpty() ? a.value : a.name},
                           a.line);
    const ClassRules* rulesOfClass = rules.Class(object.ClassName());
    if (!rulesOfClass) {
        if (!object.attributes.empty() && !object.attributes.front().malformed)
            findings.Error(QString(), "unknown-class", {"value", object.ClassName()});
        return findings.Lines();
    }

    const QStringList latin1Except = rules.Setting("latin1-except");
    // How often each attribute of the class was given, by its place in the table.
    std::vector<int> counts(rulesOfClass->attributes.size(), 0);
    for (const RpslAttribute& a : object.attributes) {
        if (a.malformed || a.name == "delete") continue;
        if (kMessageLines.contains(a.name)) {
            findings.Error(a.name, "password-line");
            continue;
        }
        const AttributeRule* rule = rulesOfClass->Find(a.name);
        if (!rule) {
            findings.Error(a.name, rules.KnownAttribute(a.name) ? "not-in-class" : "unknown");
            continue;
        }
        const int count = ++counts[size_t(rule - rulesOfClass->attributes.data())];
        if (count == 2 && !rule->multiple) findings.Error(a.name, "repeated");
        if (!rule->Mailed()) {
            static const QString generated = "set by the registry: left out of the message";
            static const QString obsolete =
                "no longer kept by the registry: left out of the message";
            if (count == 1)
                findings.Own(CheckVerdict::Warning, a.name,
                             rule->presence == Presence::Generated ? generated : obsolete);
            continue;
        }
        if (!latin1Except.isEmpty() && !IsLatin1(a.value) && !latin1Except.contains(a.name))
            findings.Own(CheckVerdict::Warning, a.name,
                         "holds characters outside Latin-1, which the registry converts (only " +
                             latin1Except.join(" and ") + " keep them)");
        const QString value = a.Clean();
        if (value.isEmpty() && !MayBeEmpty(*rule)) {
            // A comment alone: what a WHOIS server shows instead of a value it keeps back.
            if (a.Comments().contains("Filtered", Qt::CaseInsensitive))
                findings.Error(a.name, "filtered");
            findings.Own(CheckVerdict::Error, a.name, "the value is empty");
            continue;
        }
        ValueFindings found;
        const ValueContext context{rules, registry, object, a, *rule, action};
        SyntaxNamed(rule->syntax)(value, context, found);
        for (const ValueFinding& f : found)
            findings.Add(a.name, f, a.line);
    }
    for (size_t i = 0; i < counts.size(); ++i)
        if (rulesOfClass->attributes[i].presence == Presence::Mandatory && counts[i] == 0)
            findings.Error(rulesOfClass->attributes[i].name, "missing");

    if (rulesOfClass->name == "key-cert") {
        ValueFindings found;
        QString attribute;
        CheckKeyCertObject(object, rules, found, attribute);
        for (const ValueFinding& f : found)
            findings.Add(attribute, f);
    }
    CheckKeyring(object, options, findings);

    ObjectCheckLines& lines = findings.Lines();
    if (lines.empty())
        lines.push_back({CheckVerdict::Ok, QString(),
                         ObjectTitle(object, rules) + ": no errors or warnings under the " +
                             rules.Title() + " rules"});
    return lines;
}

ObjectCheckLines CheckMessageReferences(const std::vector<RpslObject>& objects,
                                        const RuleTable& rules) {
    ObjectCheckLines lines;
    if (!rules.Checks("auto-unresolved")) return lines;
    QSet<QString> defined;
    for (const RpslObject& object : objects) {
        const QString key = ObjectKey(object, rules);
        if (IsAutoHandle(key)) defined.insert(key.toUpper());
    }
    for (const RpslObject& object : objects) {
        const ClassRules* rulesOfClass = rules.Class(object.ClassName());
        if (!rulesOfClass) continue;
        for (const RpslAttribute& a : object.attributes) {
            const AttributeRule* rule = a.malformed ? nullptr : rulesOfClass->Find(a.name);
            if (!rule || rule->key || (rule->syntax != "nic-handle" && rule->syntax != "org-ref"))
                continue;
            const QString value = a.Clean();
            if (IsAutoHandle(value) && !defined.contains(value.toUpper()))
                lines.push_back({CheckVerdict::Error, a.name,
                                 FillMessage(rules.Message("auto-unresolved"), {"value", value})});
        }
    }
    return lines;
}
