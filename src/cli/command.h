#pragma once
// The companion's commands register themselves here, one file per command group.
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>

struct CliContext {
    QStringList args;     // the words after the command's name
    QString settingsFile; // "regiscribe.ini" beside the program, or --settings FILE
    QTextStream& out;     // standard output, lines end in LF
    QTextStream& err;     // standard error
};

// Exit statuses: 0 success, 1 the job failed, 2 usage error.
enum CliStatus { CliOk = 0, CliFailed = 1, CliUsage = 2 };

// Thrown by a command for a usage error; the dispatcher prints the text and the usage.
struct CliUsageError {
    QString text;
};

struct CliCommand {
    QString name;
    QString usage; // one or more usage lines
    std::function<int(CliContext&)> run;
};

// Adds a command; used by a static CliRegistration in each command file.
void RegisterCliCommand(CliCommand command);
const std::vector<CliCommand>& CliCommands();

struct CliRegistration {
    explicit CliRegistration(CliCommand command) { RegisterCliCommand(std::move(command)); }
};

// Takes "--name VALUE" (or "--name=VALUE") out of args, every occurrence, in order.
QStringList TakeOptionValues(QStringList& args, const QString& name);
// Takes one such option; `fallback` when absent. Given twice is a usage error.
QString TakeOption(QStringList& args, const QString& name, const QString& fallback = QString());
// Takes a flag without value; true when present.
bool TakeFlag(QStringList& args, const QString& name);
// After the options are taken: fails with a usage error when an unknown option is left.
void RejectUnknownOptions(const QStringList& args);
