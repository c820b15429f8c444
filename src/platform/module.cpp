#include "platform/module.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <dlfcn.h>
#include <map>
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
};
} // namespace

void* ModuleEntry(const char* name, const char* entry, QString* problem) {
    static std::map<std::string, Loaded> modules;
    auto [it, added] = modules.try_emplace(name);
    Loaded& module = it->second;
    if (added) {
        const QString file = QString("libregiscribe-%1.so").arg(QString::fromLatin1(name));
        for (const QString& folder : ModuleFolders()) {
            const QString path = folder + "/" + file;
            if (!QFileInfo::exists(path)) continue;
            module.handle = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
            if (!module.handle) module.problem = QString::fromLocal8Bit(::dlerror());
            break;
        }
        if (!module.handle && module.problem.isEmpty())
            module.problem = "the program's module " + file + " is not installed";
    }
    void* address = module.handle ? ::dlsym(module.handle, entry) : nullptr;
    if (!address && problem)
        *problem = module.handle ? "the module " + QString::fromLatin1(name) + " lacks " +
                                       QString::fromLatin1(entry)
                                 : module.problem;
    return address;
}
