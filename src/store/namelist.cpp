#include "store/namelist.h"

#include "platform/atomicfile.h"
#include "templates/recordkinds.h"

#include <QFile>
#include <algorithm>

namespace {
bool LessWithoutCase(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
}
} // namespace

QStringList ReadNameList(const QString& file) {
    QFile f(file);
    if (!f.exists()) return {};
    if (!f.open(QIODevice::ReadOnly))
        throw ENameListError(QString("Cannot open file %1").arg(file));
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw ENameListError(QString("Cannot open file %1").arg(file));
    QStringList names;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        names << QString::fromUtf8(bytes.mid(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) names << QString::fromUtf8(bytes.mid(start));
    return names;
}

void WriteNameList(const QString& file, const QStringList& names) {
    QByteArray bytes;
    for (const QString& name : names)
        bytes += name.toUtf8() + "\r\n";
    if (!ReplaceFileAtomically(file, bytes))
        throw ENameListError(QString("Cannot create file %1").arg(file));
}

bool IsSortedList(RecordKind kind) {
    return KindOf(kind).sortedNameList;
}

QStringList OrderedNames(RecordKind kind, QStringList names) {
    if (IsSortedList(kind)) std::stable_sort(names.begin(), names.end(), LessWithoutCase);
    return names;
}

qsizetype FindName(const QStringList& names, const QString& name) {
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

bool ApplyNameListChange(const NameListChange& change, QStringList& names) {
    const QString listFile = NameListFile(change.kind);
    if (change.action == "N") {
        if (FindName(names, change.name) >= 0) return false;
        QStringList updated = names;
        if (IsSortedList(change.kind))
            updated.insert(
                std::upper_bound(updated.begin(), updated.end(), change.name, LessWithoutCase),
                change.name);
        else
            updated << change.name;
        WriteNameList(listFile, updated);
        names = updated;
        return true;
    }
    if (change.action == "D") {
        QStringList updated = names;
        if (change.selectedIndex >= 0 && change.selectedIndex < updated.size())
            updated.removeAt(change.selectedIndex);
        WriteNameList(listFile, updated);
        const bool changed = updated != names;
        names = updated;
        if (!change.recordFile.isEmpty()) QFile::remove(change.recordFile);
        if (!change.formFile.isEmpty()) QFile::remove(change.formFile);
        return changed;
    }
    return false;
}
