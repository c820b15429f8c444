#include "objects/ruletable.h"

#include <QRegularExpression>

namespace {
// The words of a line, split at runs of blanks and tabs.
QStringList Words(const QString& line) {
    return line.split(QRegularExpression("[ \\t]+"), Qt::SkipEmptyParts);
}

Failure LineFailure(int number, const QString& why) {
    return Fail(QString("rule table line %1: %2").arg(number).arg(why));
}

std::optional<Presence> PresenceNamed(const QString& word) {
    if (word == "mandatory") return Presence::Mandatory;
    if (word == "optional") return Presence::Optional;
    if (word == "generated") return Presence::Generated;
    if (word == "obsolete") return Presence::Obsolete;
    return std::nullopt;
}
} // namespace

const AttributeRule* ClassRules::Find(const QString& name) const {
    const auto it = places.constFind(name);
    return it == places.constEnd() ? nullptr : &attributes[size_t(*it)];
}

const ClassRules* RuleTable::Class(const QString& name) const {
    for (const ClassRules& c : classes_)
        if (c.name == name) return &c;
    return nullptr;
}

bool RuleTable::SettingIs(const QString& name, const QString& value) const {
    const QStringList words = settings_.value(name);
    return words.size() == 1 && words.front() == value;
}

bool RuleTable::Listed(const QString& setting, const QString& word) const {
    const auto it = lists_.constFind(setting);
    return it != lists_.constEnd() && it->contains(word.toUpper());
}

Result<RuleTable> RuleTable::Parse(const QString& text) {
    RuleTable table;
    const QStringList lines = text.split('\n');
    ClassRules* current = nullptr;
    for (int i = 0; i < lines.size(); ++i) {
        const int number = i + 1;
        QString line = lines[i];
        if (line.endsWith('\r')) line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith('#')) continue;
        const QStringList words = Words(line);
        const QString& keyword = words.front();
        const bool indented = line.front().isSpace();
        if (indented) {
            if (!current) return LineFailure(number, "an attribute outside a class");
            if (words.size() < 4)
                return LineFailure(number, "an attribute needs NAME PRESENCE COUNT SYNTAX");
            AttributeRule rule;
            rule.name = words[0].toLower();
            const std::optional<Presence> presence = PresenceNamed(words[1]);
            if (!presence) return LineFailure(number, "unknown presence " + words[1]);
            rule.presence = *presence;
            if (words[2] != "single" && words[2] != "multiple")
                return LineFailure(number, "the count must be single or multiple, not " + words[2]);
            rule.multiple = words[2] == "multiple";
            rule.syntax = words[3];
            for (const QString& flag : words.mid(4)) {
                if (flag == "key")
                    rule.key = true;
                else if (flag == "hierarchical-on-create")
                    rule.hierarchicalOnCreate = true;
                else
                    return LineFailure(number, "unknown flag " + flag);
            }
            if (current->Find(rule.name))
                return LineFailure(number, rule.name + " given twice in class " + current->name);
            table.known_.insert(rule.name);
            current->places.insert(rule.name, int(current->attributes.size()));
            current->attributes.push_back(rule);
            continue;
        }
        current = nullptr;
        if (keyword == "rules" && words.size() == 2) {
            table.name_ = words[1];
        } else if (keyword == "title" && words.size() >= 2) {
            table.title_ = words.mid(1).join(' ');
        } else if (keyword == "message" && words.size() >= 3) {
            // The text keeps its own spacing after the name.
            const qsizetype start = line.indexOf(words[1]) + words[1].size();
            table.messages_.insert(words[1], line.mid(start).trimmed());
        } else if (keyword == "setting" && words.size() >= 2) {
            table.settings_.insert(words[1], words.mid(2));
            QSet<QString>& list = table.lists_[words[1]];
            for (const QString& w : words.mid(2))
                list.insert(w.toUpper());
        } else if (keyword == "class" && words.size() == 2) {
            if (table.Class(words[1].toLower()))
                return LineFailure(number, "class " + words[1] + " given twice");
            table.classes_.push_back(ClassRules{words[1].toLower(), {}, {}});
            current = &table.classes_.back();
            table.known_.insert(current->name);
        } else {
            return LineFailure(number, "cannot read \"" + line.trimmed() + "\"");
        }
    }
    if (table.name_.isEmpty()) return Fail("rule table without a \"rules NAME\" line");
    if (table.title_.isEmpty()) table.title_ = table.name_;
    for (const ClassRules& c : table.classes_) {
        if (c.attributes.empty() || c.attributes.front().name != c.name)
            return Fail("class " + c.name + " must start with its own attribute");
        bool keyed = false;
        for (const AttributeRule& rule : c.attributes)
            keyed = keyed || rule.key;
        if (!keyed) return Fail("class " + c.name + " has no key attribute");
    }
    for (const QString& name : table.Setting("other-attributes"))
        table.known_.insert(name.toLower());
    return table;
}

QString FillMessage(QString text, const QStringList& fields) {
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2)
        text.replace('{' + fields[i] + '}', fields[i + 1]);
    return text;
}
