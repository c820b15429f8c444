#pragma once
// The parts of the program that need large libraries (the desktop keyring, HTTPS, OpenPGP, DNS)
// are modules, loaded by the commands that use them. A mail send then does not pay for loading
// libraries it never calls: most of a short command's processor time went to the dynamic loader.
//
// Module NAME is the file "libregiscribe-NAME.so", looked for in $REGISCRIBE_MODULE_DIR, in the
// folder "modules" beside the program (a build or portable copy), and in the installed library
// folder relative to the program. Its entry point is an extern "C" function returning the
// module's interface object. Every module states the interface version it was built with, and a
// module of another build is refused instead of called (its objects would not fit ours).
// Loading is safe from any thread.
#include "platform/result.h"

#include <QString>

// The interface version of this build: the program's version and a digest of every module
// interface header, given by the build.
#ifndef REGISCRIBE_MODULE_VERSION
#error "REGISCRIBE_MODULE_VERSION is set by the build"
#endif

// Opens a module's entry point: REGISCRIBE_MODULE_ENTRY(DnsCodec, regiscribe_dns) { ... }.
#define REGISCRIBE_MODULE_ENTRY(Interface, entry)                                                  \
    extern "C" __attribute__((visibility("default"))) const char* regiscribe_module_version() {    \
        return REGISCRIBE_MODULE_VERSION;                                                          \
    }                                                                                              \
    extern "C" __attribute__((visibility("default"))) Interface* entry()

// The address of `entry` in module `name`, loaded on first use.
Result<void*> ModuleEntry(const char* name, const char* entry);

// A new interface object from the module's entry point: `Interface* entry()`.
template <class Interface> Result<Interface*> ModuleInterface(const char* name, const char* entry) {
    Result<void*> address = ModuleEntry(name, entry);
    if (!address) return Fail(address.Error());
    return reinterpret_cast<Interface* (*)()>(address.Value())();
}

// The module's one interface object, made at the first call by `make` (given the entry's address)
// and kept.
Result<void*> SharedModuleObject(const char* name, const char* entry, void* (*make)(void* address));
template <class Interface>
Result<Interface*> SharedModuleInterface(const char* name, const char* entry) {
    // The entry is called through its own type: a call through another function type is
    // undefined, and the checked build stops at it.
    auto make = [](void* address) -> void* {
        return reinterpret_cast<Interface* (*)()>(address)();
    };
    Result<void*> object = SharedModuleObject(name, entry, make);
    if (!object) return Fail(object.Error());
    return static_cast<Interface*>(object.Value());
}
