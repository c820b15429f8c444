#pragma once
// A fresh folder for one test that is also the current directory while the test runs, so the
// program's relative files ("domains", "hosts.cbx", ...) land in it; removed afterwards.
#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class ScopedWorkDir {
public:
    ScopedWorkDir() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~ScopedWorkDir() { QDir::setCurrent(previous_); }
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

// Whole file contents, or an empty array when it cannot be read.
QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& bytes);
// The files under `folder` (hidden ones and sub-folders included) that hold `bytes`.
QStringList FilesHolding(const QString& folder, const QByteArray& bytes);
