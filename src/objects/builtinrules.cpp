#include "objects/builtinrules.h"

#include "objects/syntaxtable.h"

#include <QFile>
#include <QMutex>
#include <map>

Result<std::shared_ptr<const RuleTable>> BuiltinRules(const QString& name) {
    static QMutex mutex;
    static std::map<QString, std::shared_ptr<const RuleTable>> loaded;
    QMutexLocker lock(&mutex);
    if (const auto it = loaded.find(name); it != loaded.end()) return it->second;
    Q_INIT_RESOURCE(rules);
    QFile file(":/rpsl/" + name + ".rules");
    if (!file.open(QIODevice::ReadOnly)) return Fail("There are no rules named " + name + ".");
    Result<RuleTable> parsed = RuleTable::Parse(QString::fromUtf8(file.readAll()));
    if (!parsed) return Fail("The " + name + " rules cannot be read: " + parsed.Error());
    for (const ClassRules& rules : parsed->Classes())
        for (const AttributeRule& rule : rules.attributes)
            if (!IsKnownSyntax(rule.syntax))
                return Fail("The " + name + " rules name an unknown syntax: " + rule.syntax);
    auto table = std::make_shared<const RuleTable>(std::move(parsed).Value());
    loaded.emplace(name, table);
    return table;
}
