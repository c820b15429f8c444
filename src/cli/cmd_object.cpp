// regiscribe-cli object new|check|fetch|submit: database objects for the registries' robots.
#include "cli/command.h"
#include "cli/textinput.h"
#include "objects/objectcheck.h"
#include "objects/objectsigning.h"
#include "objects/objecttemplate.h"
#include "platform/exception.h"
#include "platform/fullstop.h"
#include "platform/peertext.h"

#include <memory>

namespace {
const char* const kUsage =
    "regiscribe-cli object new CLASS [--registry R] [--set ATTR=VALUE]...\n"
    "  regiscribe-cli object check [--registry R] [--ns] FILE...\n"
    "  regiscribe-cli object fetch --registry R [--server HOST[:PORT]] CLASS KEY\n"
    "  regiscribe-cli object submit [--registry R] [--sign-key KEY] [--passphrase-command CMD]\n"
    "                               [--password-command CMD] [--delete REASON] FILE...\n"
    "  (R: ripe, ripe-test, apnic, afrinic, radb or irrd:ADDRESS:SOURCE)";

struct Rules {
    Registry registry;
    std::shared_ptr<const RuleTable> table;
};

// The registry --registry names, else the settings' choice; a usage error when neither does.
Result<Rules> TakeRegistry(CliContext& c) {
    QString argument = TakeOption(c.args, "--registry");
    if (argument.isEmpty()) argument = ReadObjectSettings(c.settingsFile).registry;
    if (argument.isEmpty())
        throw CliUsageError{"needs --registry R (or \"Registry\" in the settings' [Objects])"};
    Result<Registry> registry = RegistryNamed(argument);
    if (!registry) return Fail(registry.Error());
    Result<std::shared_ptr<const RuleTable>> table = RuleTable::Builtin(registry->rules);
    if (!table) return Fail(table.Error());
    return Rules{registry.Value(), table.Value()};
}

int Failed(CliContext& c, const QString& why) {
    c.out.flush();
    c.err << WithFullStop(why) << '\n';
    return CliFailed;
}

struct FileObjects {
    QString file;
    std::vector<RpslObject> objects;
};

// The objects of every file, in order; the file error of one that cannot be read.
Result<std::vector<FileObjects>> ReadObjectFiles(const QStringList& files) {
    std::vector<FileObjects> read;
    for (const QString& file : files) {
        try {
            read.push_back({file, ParseObjects(QString::fromUtf8(ReadFileBytes(file)))});
        } catch (const Exception& e) {
            return Fail(file + ": " + e.Message());
        }
        if (read.back().objects.empty()) return Fail(file + " holds no object");
    }
    return read;
}

QStringList TakeFiles(CliContext& c) {
    RejectUnknownOptions(c.args);
    c.args.removeAll("--");
    if (c.args.isEmpty()) throw CliUsageError{"expects at least one FILE"};
    return c.args;
}

void PrintLines(CliContext& c, const ObjectCheckLines& lines) {
    for (const ObjectCheckLine& line : lines)
        c.out << PeerText(line.Rendered(), PeerTextLines::Escape) << '\n';
}

// The lines of every object of the files, as one message; the number of errors.
int PrintChecks(CliContext& c, const Rules& rules, const std::vector<FileObjects>& files,
                const CheckOptions& options, ObjectCheckLines& all, int& objects) {
    std::vector<RpslObject> message;
    for (const FileObjects& file : files) {
        for (const RpslObject& object : file.objects) {
            c.out << PeerText(file.file + ": " + ObjectTitle(object, *rules.table),
                              PeerTextLines::Escape)
                  << '\n';
            const ObjectCheckLines lines =
                CheckObject(object, rules.registry, *rules.table, options);
            PrintLines(c, lines);
            all.insert(all.end(), lines.begin(), lines.end());
            message.push_back(object);
            ++objects;
        }
    }
    const ObjectCheckLines across = CheckMessageReferences(message, *rules.table);
    PrintLines(c, across);
    all.insert(all.end(), across.begin(), across.end());
    return CountVerdicts(all, CheckVerdict::Error);
}

// Asks the keyring about a maintainer's keys only when one names a key.
CheckOptions KeyringCheck() {
    CheckOptions options;
    options.secretKeyHeld = [](const QString& keyId) { return SecretKeyHeld(keyId); };
    return options;
}

int RunCheck(CliContext& c) {
    const bool nameServers = TakeFlag(c.args, "--ns");
    const Result<Rules> rules = TakeRegistry(c);
    const QStringList files = TakeFiles(c);
    if (!rules) return Failed(c, rules.Error());
    const Result<std::vector<FileObjects>> read = ReadObjectFiles(files);
    if (!read) return Failed(c, read.Error());
    ObjectCheckLines all;
    int objects = 0;
    int errors = PrintChecks(c, *rules, read.Value(), KeyringCheck(), all, objects);
    (void)nameServers;
    c.out << CheckSummary(objects, all) << '\n';
    return errors == 0 ? CliOk : CliFailed;
}

int RunNew(CliContext& c) {
    const QStringList sets = TakeOptionValues(c.args, "--set");
    const Result<Rules> rules = TakeRegistry(c);
    RejectUnknownOptions(c.args);
    c.args.removeAll("--");
    if (c.args.size() != 1) throw CliUsageError{"expects one CLASS"};
    if (!rules) return Failed(c, rules.Error());
    const ClassRules* rulesOfClass = rules->table->Class(c.args.front().toLower());
    if (!rulesOfClass)
        throw CliUsageError{"unknown class " + c.args.front() + " under the " +
                            rules->table->Title() + " rules"};
    std::vector<std::pair<QString, QString>> given;
    for (const QString& set : sets) {
        const qsizetype eq = set.indexOf('=');
        const QString name = set.left(eq).trimmed().toLower();
        const AttributeRule* rule = eq > 0 ? rulesOfClass->Find(name) : nullptr;
        if (!rule || !rule->Mailed())
            throw CliUsageError{"--set needs ATTR=VALUE with an attribute of " +
                                rulesOfClass->name + ", not " + set};
        given.push_back({name, set.mid(eq + 1).trimmed()});
    }
    const RpslObject object = ObjectTemplate(*rulesOfClass, rules->registry, given);
    c.out << ObjectText(object);
    return CliOk;
}

int RunObject(CliContext& c) {
    if (c.args.isEmpty()) throw CliUsageError{"expects new, check, fetch or submit"};
    const QString action = c.args.takeFirst();
    if (action == "new") return RunNew(c);
    if (action == "check") return RunCheck(c);
    throw CliUsageError{"unknown object command " + action};
}

CliRegistration objectCommand{{"object", kUsage, RunObject}};
} // namespace
