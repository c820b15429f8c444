#pragma once
// The rules a registry's software applies to database objects, read from a rule table
// (data/rpsl/*.rules, compiled into the program): per class the attributes in template order,
// each mandatory, optional or set by the registry, once or repeatable, with the syntax its value
// must follow; the registry's words for each refusal; and the settings of the value syntaxes.
// A rule whose message a table leaves out is not checked under that table.
#include "platform/result.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <any>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

enum class Presence {
    Mandatory,
    Optional,
    Generated, // set by the registry; never mailed
    Obsolete,  // no longer kept by the registry; never mailed
};

struct AttributeRule {
    QString name; // lower case
    Presence presence = Presence::Optional;
    bool multiple = true;
    QString syntax;                    // the value syntax's name (see valuesyntax.h)
    bool key = false;                  // part of the object's primary key
    bool hierarchicalOnCreate = false; // a new object's name must be ASn:NAME
    bool Mailed() const {
        return presence == Presence::Mandatory || presence == Presence::Optional;
    }
};

struct ClassRules {
    QString name; // lower case
    std::vector<AttributeRule> attributes;
    QHash<QString, int> places; // each attribute's index in `attributes`
    // The rule of attribute `name` (lower case), or null when the class has none.
    const AttributeRule* Find(const QString& name) const;
};

class RuleTable {
public:
    // Reads a table's text; fails with the line at fault (builtinrules.h also checks that every
    // syntax named is one the program has).
    static Result<RuleTable> Parse(const QString& text);

    const QString& Name() const { return name_; }
    // How the window and the check's lines name the rules: "RIPE", "IRRd".
    const QString& Title() const { return title_; }
    const std::vector<ClassRules>& Classes() const { return classes_; }
    const ClassRules* Class(const QString& name) const;
    // Whether any class has the attribute, or the table lists it among the other known ones.
    bool KnownAttribute(const QString& name) const { return known_.contains(name); }

    // The registry's words for a refusal, or empty when the rule is not checked here.
    QString Message(const QString& key) const { return messages_.value(key); }
    bool Checks(const QString& key) const { return messages_.contains(key); }
    // A setting's words; empty when the table has none.
    QStringList Setting(const QString& name) const { return settings_.value(name); }
    bool SettingIs(const QString& name, const QString& value) const;
    // Membership in a list setting, compared in upper case.
    bool Listed(const QString& setting, const QString& word) const;
    // A value made from the table's settings once, by `make`, and kept with the table (the
    // parsed bogon prefixes, say), so a check of many objects makes it once.
    template <class T> const T& Derived(const char* name, T (*make)(const RuleTable&)) const {
        std::lock_guard lock(derived_->mutex);
        std::any& slot = derived_->values[name];
        if (!slot.has_value()) slot = make(*this);
        return std::any_cast<const T&>(slot);
    }

private:
    QString name_;
    QString title_;
    std::vector<ClassRules> classes_;
    QHash<QString, QString> messages_;
    QHash<QString, QStringList> settings_;
    QHash<QString, QSet<QString>> lists_; // settings in upper case, for look-ups
    QSet<QString> known_;
    struct DerivedValues {
        std::mutex mutex;
        std::map<std::string, std::any> values;
    };
    std::shared_ptr<DerivedValues> derived_ = std::make_shared<DerivedValues>();
};

// `text` with every "{field}" replaced by its value in `fields` (name, value, name, value...).
QString FillMessage(QString text, const QStringList& fields);
