#pragma once
// The field lists of the three kinds, as the kind table (recordkinds.h) takes them: every field
// in window order, and the order in which each page's "Clear All" empties them.
#include "templates/recordmodel.h"

#include <QStringList>
#include <vector>

std::vector<FieldInfo> DomainFields();
std::vector<FieldInfo> HostFields();
std::vector<FieldInfo> ContactFields();

QStringList DomainClearAllFields(const std::vector<FieldInfo>& fields);
QStringList HostClearAllFields();
QStringList ContactClearAllFields();
