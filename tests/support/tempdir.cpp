#include "support/tempdir.h"

#include <QDirIterator>
#include <QFile>

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

QStringList FilesHolding(const QString& folder, const QByteArray& bytes) {
    QStringList holding;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (ReadAll(file).contains(bytes)) holding << file;
    }
    return holding;
}
