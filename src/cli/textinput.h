#pragma once
// What the companion's commands read: standard input or a file, whole, and its lines as a memo
// holds them; and a secret typed at a prompt.
#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Raise the file error on failure.
QByteArray ReadStandardInput();
QByteArray ReadFileBytes(const QString& path);
// Split at LF, a CR before it dropped, no empty line for a final line end.
QByteArrayList SplitLines(const QByteArray& bytes);
// The same lines as UTF-8 text.
QStringList TextLines(const QByteArray& bytes);
// Hands each line of standard input to `line` as it is read, split as SplitLines does, holding
// one line at a time. Raises the file error on failure.
void ForEachLineOfStandardInput(const std::function<void(QByteArrayView line)>& line);

// One line of standard input without its line end, as bytes. On a terminal `prompt` is written to
// standard error first and the line is read without echo; the terminal's settings come back
// afterwards, also when SIGINT or SIGTERM ends the program at the prompt. Without a terminal the
// first line of standard input is read as it is. Nothing at the end of input.
std::optional<QByteArray> ReadSecretLine(const QString& prompt);
