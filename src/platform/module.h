#pragma once
// The parts of the program that need large libraries (the desktop keyring, HTTPS, OpenPGP, DNS)
// are modules, loaded by the commands that use them. A mail send then does not pay for loading
// libraries it never calls: most of a short command's processor time went to the dynamic loader.
//
// Module NAME is the file "libregiscribe-NAME.so", looked for in $REGISCRIBE_MODULE_DIR, in the
// folder "modules" beside the program (a build or portable copy), and in the installed library
// folder relative to the program. Its entry point is an extern "C" function returning the
// module's interface object.
#include <QString>

// The address of `entry` in module `name`, loaded on first use; nullptr with `problem` set when
// the module or the entry cannot be found.
void* ModuleEntry(const char* name, const char* entry, QString* problem = nullptr);

// A module's interface object, made by its entry point: `Interface* entry()`.
template <class Interface>
Interface* ModuleInterface(const char* name, const char* entry, QString* problem = nullptr) {
    using Make = Interface* (*)();
    auto make = reinterpret_cast<Make>(ModuleEntry(name, entry, problem));
    return make ? make() : nullptr;
}
