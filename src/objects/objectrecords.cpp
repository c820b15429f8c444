#include "objects/objectrecords.h"

#include "objects/objectcheck.h"
#include "objects/objectmessage.h"
#include "platform/atomicfile.h"
#include "platform/fileerror.h"
#include "store/namelist.h"
#include "templates/templatefiles.h"

#include <QDir>
#include <QFile>
#include <cerrno>

namespace {
Failure FileFailure(const QString& path) {
    return Fail(path + ": " + FileErrorMessage(errno));
}

// A class name is one of the rule table's, so it is a safe folder name; checked all the same.
bool IsSafeName(const QString& name) {
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') &&
           !name.contains(QChar(0)) && !name.contains('\n') && !name.contains('\r');
}
} // namespace

QString ObjectsFolderPath() {
    return QDir::currentPath() + "/objects";
}

Result<QString> ObjectRecordPath(const QString& className, const QString& key) {
    const QString file = KeyFileName(key.trimmed());
    if (!IsSafeName(className) || !IsSafeName(file))
        return Fail("\"" + key + "\" cannot name a record of " + className + ".");
    const QString folder = ObjectsFolderPath() + "/" + className;
    return folder + "/" + RecordFileBase(folder, file) + ".txt";
}

QString ObjectNameListPath(const QString& className) {
    return ObjectsFolderPath() + "/" + className + ".cbx";
}

Done SaveObjectRecord(const RpslObject& object, const RuleTable& rules) {
    const Result<QString> path = ObjectRecordPath(object.ClassName(), ObjectKey(object, rules));
    if (!path) return Fail(path.Error());
    // One level at a time, as the record store makes its folders.
    QDir().mkdir(ObjectsFolderPath());
    QDir().mkdir(QFileInfo(*path).path());
    if (!ReplaceFileAtomically(*path, JoinTemplateLines(ObjectLines(object))))
        return FileFailure(*path);
    return {};
}

Result<RpslObject> LoadObjectRecord(const QString& className, const QString& key) {
    const Result<QString> path = ObjectRecordPath(className, key);
    if (!path) return Fail(path.Error());
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail("There is no record of " + className + " " + key + ".");
    const std::vector<RpslObject> objects = ParseObjects(QString::fromUtf8(file.readAll()));
    if (objects.size() != 1 || objects.front().ClassName() != className)
        return Fail(*path + " holds no single " + className + " object.");
    return objects.front();
}

Result<QStringList> ObjectNames(const QString& className) {
    try {
        return ReadNameList(ObjectNameListPath(className));
    } catch (const ENameListError& e) {
        return Fail(e.Message());
    }
}

Done UpdateObjectNameList(const QString& className, const QString& key, ObjectAction action) {
    if (action == ObjectAction::Modify) return {};
    Result<QStringList> names = ObjectNames(className);
    if (!names) return Fail(names.Error());
    QStringList updated = names.Value();
    if (action == ObjectAction::Create) {
        if (FindName(updated, key) >= 0) return {};
        updated << key;
    } else {
        for (qsizetype at = FindName(updated, key); at >= 0; at = FindName(updated, key))
            updated.removeAt(at);
        if (const Result<QString> path = ObjectRecordPath(className, key)) QFile::remove(*path);
        if (updated == names.Value()) return {};
    }
    QDir().mkdir(ObjectsFolderPath());
    try {
        WriteNameList(ObjectNameListPath(className), updated);
    } catch (const ENameListError& e) {
        return Fail(e.Message());
    }
    return {};
}
