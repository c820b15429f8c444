#pragma once
// What the companion's commands read: standard input or a file, whole, and its lines as a memo
// holds them.
#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>

// Raise the file error on failure.
QByteArray ReadStandardInput();
QByteArray ReadFileBytes(const QString& path);
// Split at LF, a CR before it dropped, no empty line for a final line end.
QByteArrayList SplitLines(const QByteArray& bytes);
// The same lines as UTF-8 text.
QStringList TextLines(const QByteArray& bytes);
