#pragma once
// Test programs lie apart from the programs they test: they find the modules the build made
// through REGISCRIBE_MODULE_DIR, which the programs they start inherit.
#include <QtGlobal>

inline void UseBuiltModules() {
    if (qEnvironmentVariableIsEmpty("REGISCRIBE_MODULE_DIR"))
        qputenv("REGISCRIBE_MODULE_DIR", REGISCRIBE_BUILT_MODULES);
}
