#pragma once
// The key tables of the two INI stores for the three kinds, as the kind table (recordkinds.h)
// takes them, each in the order its writer writes the keys. The two stores spell some keys
// differently ("AuthInfo" in a defaults section, "AuthInfoEdit" in a record file), and each
// reader uses its own writer's names.
#include "templates/recordmodel.h"
#include "templates/storekey.h"

#include <vector>

std::vector<StoreKey> DomainDefaultsKeys();
std::vector<StoreKey> HostDefaultsKeys();
std::vector<StoreKey> ContactDefaultsKeys();

// Every domain field but its name, which is the file's name.
std::vector<StoreKey> DomainRecordFileKeys(const std::vector<FieldInfo>& fields);
std::vector<StoreKey> HostRecordFileKeys();
std::vector<StoreKey> ContactRecordFileKeys();
