#include "objects/objecttemplate.h"

namespace {
int TemplateIndex(const ClassRules& rules, const QString& name) {
    for (size_t i = 0; i < rules.attributes.size(); ++i)
        if (rules.attributes[i].name == name) return int(i);
    return int(rules.attributes.size());
}
} // namespace

RpslObject ObjectTemplate(const ClassRules& rules, const Registry& registry,
                          const std::vector<std::pair<QString, QString>>& given) {
    RpslObject object;
    for (const AttributeRule& rule : rules.attributes)
        if (rule.presence == Presence::Mandatory)
            object.attributes.push_back(RpslAttribute{
                rule.name, rule.name == "source" ? registry.source : QString(), 0, false});
    std::vector<bool> filled(object.attributes.size(), false);
    for (const auto& [name, value] : given) {
        bool placed = false;
        for (size_t i = 0; i < object.attributes.size() && !placed; ++i) {
            if (object.attributes[i].name != name || filled[i]) continue;
            object.attributes[i].value = value;
            filled[i] = placed = true;
        }
        if (placed) continue;
        const size_t at = TemplatePosition(object, rules, name);
        object.attributes.insert(object.attributes.begin() + qsizetype(at),
                                 RpslAttribute{name, value, 0, false});
        filled.insert(filled.begin() + qsizetype(at), true);
    }
    return object;
}

size_t TemplatePosition(const RpslObject& object, const ClassRules& rules, const QString& name) {
    const int wanted = TemplateIndex(rules, name);
    size_t at = 0;
    for (size_t i = 0; i < object.attributes.size(); ++i)
        if (TemplateIndex(rules, object.attributes[i].name) <= wanted) at = i + 1;
    return at;
}
