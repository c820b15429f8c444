#include "platform/module.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <dlfcn.h>
#include <map>
#include <mutex>
#include <string>

namespace {
QString ProgramFolder() {
    return QFileInfo(QFile::symLinkTarget("/proc/self/exe")).absolutePath();
}

QStringList ModuleFolders() {
    QStringList folders;
    const QByteArray configured = qgetenv("REGISCRIBE_MODULE_DIR");
    if (!configured.isEmpty()) folders << QFile::decodeName(configured);
    const QString program = ProgramFolder();
    folders << program + "/modules" << program + "/" + REGISCRIBE_MODULE_RELDIR;
    return folders;
}

struct Loaded {
    void* handle = nullptr;
    QString problem;
    std::map<std::string, void*> objects; // SharedModuleObject's, by entry
};

std::mutex& Lock() {
    static std::mutex lock;
    return lock;
}
std::map<std::string, Loaded>& Modules() {
    static std::map<std::string, Loaded> modules;
    return modules;
}

// Opens the module's file and checks that it was built with this program's interfaces.
void Open(const QString& name, Loaded& module) {
    const QString file = "libregiscribe-" + name + ".so";
    for (const QString& folder : ModuleFolders()) {
        const QString path = folder + "/" + file;
        if (!QFileInfo::exists(path)) continue;
        module.handle = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!module.handle) {
            module.problem = QString::fromLocal8Bit(::dlerror());
            return;
        }
        using Version = const char* (*)();
        auto version =
            reinterpret_cast<Version>(::dlsym(module.handle, "regiscribe_module_version"));
        if (!version || QByteArray(version()) != REGISCRIBE_MODULE_VERSION) {
            // Closing it again is safe: nothing of it was called but the version.
            ::dlclose(module.handle);
            module.handle = nullptr;
            module.problem =
                "the module " + name + " is of another version of the program (" + path + ")";
        }
        return;
    }
    module.problem = "the program's module " + file + " is not installed";
}

// The entry's address in a module, loading it at the first call; the lock is held.
Result<void*> Entry(const char* name, const char* entry, Loaded*& module) {
    auto [it, added] = Modules().try_emplace(name);
    module = &it->second;
    if (added) Open(QString::fromLatin1(name), *module);
    if (!module->handle) return Fail(module->problem);
    void* address = ::dlsym(module->handle, entry);
    if (!address)
        return Fail("the module " + QString::fromLatin1(name) + " lacks " +
                    QString::fromLatin1(entry));
    return address;
}
} // namespace

Result<void*> ModuleEntry(const char* name, const char* entry) {
    std::lock_guard lock(Lock());
    Loaded* module = nullptr;
    return Entry(name, entry, module);
}

Result<void*> SharedModuleObject(const char* name, const char* entry, void* (*make)(void*)) {
    std::lock_guard lock(Lock());
    Loaded* module = nullptr;
    Result<void*> address = Entry(name, entry, module);
    if (!address) return address;
    void*& object = module->objects[entry];
    if (!object) object = make(address.Value());
    return object;
}
