// regiscribe-cli: the window's jobs without a window.
#include "cli/command.h"
#include "platform/tasks.h"
#include "store/setupsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace {
std::vector<CliCommand>& Registry() {
    static std::vector<CliCommand> commands;
    return commands;
}

void PrintUsage(QTextStream& s) {
    s << "Usage: regiscribe-cli [--settings FILE] COMMAND ...\n";
    for (const CliCommand& c : Registry())
        s << "  " << c.usage << "\n";
    s << "  regiscribe-cli --help | --version\n";
}

// An argument that is not valid UTF-8 would reach the program as other text (a name with U+FFFD
// in it), and a record or file of that other name would be written or read: refuse it instead.
void RefuseUndecodableArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        if (QString::fromUtf8(raw).toUtf8() != raw)
            throw CliUsageError{QString("argument %1 is not valid UTF-8 text").arg(i)};
    }
}
} // namespace

void RegisterCliCommand(CliCommand command) {
    Registry().push_back(std::move(command));
}
const std::vector<CliCommand>& CliCommands() {
    return Registry();
}

QStringList TakeOptionValues(QStringList& args, const QString& name) {
    QStringList values;
    for (int i = 0; i < args.size();) {
        if (args[i] == name) {
            if (i + 1 >= args.size()) throw CliUsageError{name + " needs a value"};
            values << args[i + 1];
            args.remove(i, 2);
        } else if (args[i].startsWith(name + "=")) {
            values << args[i].mid(name.size() + 1);
            args.remove(i);
        } else if (args[i] == "--") {
            break;
        } else {
            ++i;
        }
    }
    return values;
}

QString TakeOption(QStringList& args, const QString& name, const QString& fallback) {
    QStringList values = TakeOptionValues(args, name);
    if (values.size() > 1) throw CliUsageError{name + " given more than once"};
    return values.isEmpty() ? fallback : values.front();
}

bool TakeFlag(QStringList& args, const QString& name) {
    qsizetype at = args.indexOf(name);
    if (at < 0) return false;
    args.remove(at);
    return true;
}

void RejectUnknownOptions(const QStringList& args) {
    for (const QString& a : args) {
        if (a == "--") return;
        if (a.startsWith("--") || (a.startsWith('-') && a.size() > 1))
            throw CliUsageError{"unknown option " + a};
    }
}

namespace {
int RunCompanion(QCoreApplication& app, int argc, char** argv) {
    QCoreApplication::setApplicationName("regiscribe-cli");
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);

    QString settings = CompanionSettingsFile(QCoreApplication::applicationFilePath());
    try {
        RefuseUndecodableArguments(argc, argv);
        settings = TakeOption(args, "--settings", settings);
    } catch (const CliUsageError& e) {
        err << "regiscribe-cli: " << e.text << "\n";
        PrintUsage(err);
        return CliUsage;
    }
    if (args.isEmpty()) {
        PrintUsage(err);
        return CliUsage;
    }
    if (args.front() == "--help" || args.front() == "-h") {
        PrintUsage(out);
        return CliOk;
    }
    if (args.front() == "--version") {
        out << "regiscribe-cli 1.71\n";
        out << "Settings file: " << settings << "\n";
        return CliOk;
    }
    QString name = args.takeFirst();
    for (const CliCommand& c : Registry()) {
        if (c.name != name) continue;
        if (args.contains("--help")) {
            out << "Usage: " << c.usage << "\n";
            return CliOk;
        }
        CliContext context{args, settings, out, err};
        try {
            return c.run(context);
        } catch (const CliUsageError& e) {
            err << "regiscribe-cli " << name << ": " << e.text << "\n";
            err << "Usage: " << c.usage << "\n";
            return CliUsage;
        }
    }
    err << "regiscribe-cli: unknown command " << name << "\n";
    PrintUsage(err);
    return CliUsage;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int code = RunCompanion(app, argc, argv);
    Tasks::Shutdown();
    return code;
}
