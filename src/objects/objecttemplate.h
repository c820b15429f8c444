#pragma once
// New objects for the editor and `object new`: a class's mandatory attributes in template order,
// and where an attribute added later belongs.
#include "objects/registry.h"
#include "objects/rpslobject.h"
#include "objects/ruletable.h"

#include <utility>
#include <vector>

// A new object: the mandatory attributes in template order (empty; source: the registry's), with
// each `given` value (name, value) at its attribute's place, several of one name in order. A
// given value of a mandatory attribute fills it instead of adding one.
RpslObject ObjectTemplate(const ClassRules& rules, const Registry& registry,
                          const std::vector<std::pair<QString, QString>>& given = {});
// The index where a new attribute `name` goes in `object`: after the last attribute that the
// template puts before it or with it (at the end for a name the class does not have).
size_t TemplatePosition(const RpslObject& object, const ClassRules& rules, const QString& name);
