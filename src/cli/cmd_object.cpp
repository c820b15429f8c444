// regiscribe-cli object new|check|fetch|submit: database objects for the registries' robots.
#include "cli/command.h"
#include "cli/securemail.h"
#include "cli/textinput.h"
#include "mail/mailstatus.h"
#include "mail/mssmtp.h"
#include "mail/submissiontexts.h"
#include "objects/builtinrules.h"
#include "objects/nameservercheck.h"
#include "objects/objectcheck.h"
#include "objects/objectmail.h"
#include "objects/objectrecords.h"
#include "objects/objectsigning.h"
#include "objects/objecttemplate.h"
#include "objects/whoisfetch.h"
#include "platform/exception.h"
#include "platform/fullstop.h"
#include "platform/peertext.h"
#include "platform/shellcommand.h"
#include "store/namelist.h"
#include "store/setupsettings.h"

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
    Result<std::shared_ptr<const RuleTable>> table = BuiltinRules(registry->rules);
    if (!table) return Fail(table.Error());
    return Rules{registry.Value(), table.Value()};
}

int Failed(CliContext& c, const QString& why) {
    c.out.flush();
    c.err << WithFullStop(why) << '\n';
    return CliFailed;
}

// The objects of the files, in order, and the file of each.
struct FileObjects {
    std::vector<RpslObject> objects;
    QStringList files;
};

// The objects of every file; the file error of one that cannot be read.
Result<FileObjects> ReadObjectFiles(const QStringList& files) {
    FileObjects read;
    for (const QString& file : files) {
        std::vector<RpslObject> objects;
        try {
            objects = ParseObjects(QString::fromUtf8(ReadFileBytes(file)));
        } catch (const Exception& e) {
            return Fail(file + ": " + e.Message());
        }
        if (objects.empty()) return Fail(file + " holds no object");
        for (RpslObject& object : objects) {
            read.objects.push_back(std::move(object));
            read.files << file;
        }
    }
    return read;
}

// The words left after the options: `count` of them (at least one when `count` is 0), else a
// usage error that says what is expected.
QStringList TakeWords(CliContext& c, int count, const char* expected) {
    RejectUnknownOptions(c.args);
    c.args.removeAll("--");
    if (count == 0 ? c.args.isEmpty() : c.args.size() != count)
        throw CliUsageError{QString("expects ") + expected};
    return c.args;
}

QStringList TakeFiles(CliContext& c) {
    return TakeWords(c, 0, "at least one FILE");
}

// The warnings and errors found so far.
struct Tally {
    int warnings = 0;
    int errors = 0;
    void Add(const ObjectCheckLines& lines) {
        warnings += CountVerdicts(lines, CheckVerdict::Warning);
        errors += CountVerdicts(lines, CheckVerdict::Error);
    }
};

void PrintLines(CliContext& c, const ObjectCheckLines& lines) {
    for (const ObjectCheckLine& line : lines)
        c.out << PeerText(line.Rendered(), PeerTextLines::Escape) << '\n';
}

// The lines of every object of the files, as one message; the number of errors.
int PrintChecks(CliContext& c, const Rules& rules, const FileObjects& read,
                const CheckOptions& options, Tally& tally) {
    for (size_t i = 0; i < read.objects.size(); ++i) {
        const RpslObject& object = read.objects[i];
        c.out << PeerText(read.files[qsizetype(i)] + ": " + ObjectTitle(object, *rules.table),
                          PeerTextLines::Escape)
              << '\n';
        const ObjectCheckLines lines = CheckObject(object, rules.registry, *rules.table, options);
        PrintLines(c, lines);
        tally.Add(lines);
    }
    const ObjectCheckLines across = CheckMessageReferences(read.objects, *rules.table);
    PrintLines(c, across);
    tally.Add(across);
    return tally.errors;
}

// Asks the keyring about a maintainer's keys only when one names a key.
CheckOptions KeyringCheck() {
    CheckOptions options;
    options.secretKeyHeld = [](const QString& keyId) { return SecretKeyHeld(keyId); };
    return options;
}

// The name-server check of every domain object that is not deleted; the number of errors.
int PrintNameServerChecks(CliContext& c, const Rules& rules, const FileObjects& read,
                          ObjectAction action, Tally& tally) {
    int errors = 0;
    for (size_t i = 0; i < read.objects.size(); ++i) {
        const RpslObject& object = read.objects[i];
        if (object.ClassName() != "domain" || ActionOf(object, action) == ObjectAction::Delete)
            continue;
        c.out << PeerText(read.files[qsizetype(i)] + ": " + ObjectTitle(object, *rules.table) +
                              ": its name servers",
                          PeerTextLines::Escape)
              << '\n';
        c.out.flush();
        const NameServerFindings found = CheckDomainNameServers(object);
        PrintLines(c, found.lines);
        c.out << found.summary << '\n';
        tally.Add(found.lines);
        errors += found.Errors();
    }
    return errors;
}

int RunCheck(CliContext& c) {
    const bool nameServers = TakeFlag(c.args, "--ns");
    const Result<Rules> rules = TakeRegistry(c);
    const QStringList files = TakeFiles(c);
    if (!rules) return Failed(c, rules.Error());
    const Result<FileObjects> read = ReadObjectFiles(files);
    if (!read) return Failed(c, read.Error());
    Tally tally;
    int errors = PrintChecks(c, *rules, read.Value(), KeyringCheck(), tally);
    if (nameServers)
        errors += PrintNameServerChecks(c, *rules, read.Value(), ObjectAction::Create, tally);
    c.out << CheckSummary(int(read->objects.size()), tally.warnings, tally.errors) << '\n';
    return errors == 0 ? CliOk : CliFailed;
}

int RunFetch(CliContext& c) {
    const QString server = TakeOption(c.args, "--server");
    const Result<Rules> rules = TakeRegistry(c);
    const QStringList words = TakeWords(c, 2, "CLASS and KEY");
    if (!rules) return Failed(c, rules.Error());
    const Result<FetchRequest> request =
        MakeFetchRequest(rules->registry, words[0], words[1], server,
                         ReadObjectSettings(c.settingsFile).whoisServer);
    if (!request) return Failed(c, request.Error());
    const std::shared_ptr<const RuleTable> table = rules->table;
    const Result<RpslObject> fetched = Tasks::RunAndWait<Result<RpslObject>>(
        [&] { return FetchObject(request.Value(), *table, CancelToken()); });
    if (!fetched) return Failed(c, fetched.Error());
    c.out << PeerText(ObjectText(fetched.Value()));
    return CliOk;
}

// The first line the password command prints; its text is never repeated (it may hold a secret).
Result<QString> PasswordOfCommand(const QString& command) {
    const Result<QByteArray> line = SecretFromCommand(command, "password command");
    if (!line) return Fail(line.Error() + " Nothing was mailed.");
    const QString password = QString::fromUtf8(line.Value());
    if (password.isEmpty())
        return Fail("The password command printed no password; nothing was mailed.");
    return password;
}

// The SMTP client as the settings' Setup section sets it up, its stages printed.
void SetUpClient(CliContext& c, TmsSMTP& smtp, const SetupSettings& setup) {
    smtp.SetServer(setup.server);
    const std::optional<TMailSecurity> security = SecurityFromName(setup.security);
    if (!security)
        throw EMailSecurityError("The settings file's \"Security\" is " + setup.security +
                                 "; it must be None, STARTTLS or TLS");
    SecureMailOptions options;
    options.security = *security;
    options.user = setup.user;
    ApplySecureMail(smtp, options, c.err);
    ShowStatusOf(smtp, [&c](const MailStatus& status) {
        c.out << status.text << '\n';
        c.out.flush();
    });
}

int RunSubmit(CliContext& c) {
    const QString signKey = TakeOption(c.args, "--sign-key");
    const QString passphraseCommand = TakeOption(c.args, "--passphrase-command");
    const QString passwordCommand = TakeOption(c.args, "--password-command");
    const QStringList deletion = TakeOptionValues(c.args, "--delete");
    if (deletion.size() > 1) throw CliUsageError{"--delete given more than once"};
    if (!deletion.isEmpty() && deletion.front().trimmed().isEmpty())
        throw CliUsageError{"--delete needs a reason"};
    const Result<Rules> rules = TakeRegistry(c);
    const QStringList files = TakeFiles(c);
    if (!rules) return Failed(c, rules.Error());
    const Result<FileObjects> read = ReadObjectFiles(files);
    if (!read) return Failed(c, read.Error());
    const RuleTable& table = *rules->table;

    // A key already in its class's name list was created before: this mails a modification.
    ObjectMail mail;
    mail.registry = rules->registry;
    for (const RpslObject& object : read->objects) {
        MessageObject m{object, ObjectAction::Create, deletion.value(0).trimmed()};
        const Result<QStringList> names = ObjectNames(object.ClassName());
        if (!deletion.isEmpty())
            m.action = ObjectAction::Delete;
        else if (names && FindName(names.Value(), ObjectKey(object, table)) >= 0)
            m.action = ObjectAction::Modify;
        m.action = ActionOf(object, m.action);
        mail.objects.push_back(m);
    }

    Tally tally;
    int errors = 0;
    for (const MessageObject& m : mail.objects) {
        c.out << PeerText(ActionWord(m.action) + ' ' + ObjectTitle(m.object, table),
                          PeerTextLines::Escape)
              << '\n';
        CheckOptions options = KeyringCheck();
        options.action = m.action;
        const ObjectCheckLines lines = CheckObject(m.object, rules->registry, table, options);
        PrintLines(c, lines);
        tally.Add(lines);
    }
    const ObjectCheckLines across = CheckMessageReferences(read->objects, table);
    PrintLines(c, across);
    tally.Add(across);
    errors = tally.errors;
    if (errors == 0)
        errors += PrintNameServerChecks(
            c, *rules, read.Value(),
            deletion.isEmpty() ? ObjectAction::Create : ObjectAction::Delete, tally);
    if (errors > 0)
        return Failed(c, QString("Nothing was mailed: the check found %1 %2")
                             .arg(errors)
                             .arg(errors == 1 ? "error" : "errors"));

    if (!passwordCommand.isEmpty()) {
        const Result<QString> password = PasswordOfCommand(passwordCommand);
        if (!password) return Failed(c, password.Error());
        mail.password = password.Value();
    }
    mail.signingKey = signKey.isEmpty() ? SettingsSigningKey(c.settingsFile) : signKey;
    mail.passphraseCommand = passphraseCommand;
    if (const Done ok = CheckMailAuthentication(mail); !ok)
        return Failed(c, ok.Error() + " Nothing was mailed");

    for (const MessageObject& m : mail.objects)
        if (m.action != ObjectAction::Delete)
            if (const Done saved = SaveObjectRecord(m.object, table); !saved)
                return Failed(c, saved.Error() + "; nothing was mailed");
    try {
        const SetupSettings setup = ReadSetup(c.settingsFile);
        TmsSMTP smtp;
        smtp.SetWinsockLoaded(true);
        SetUpClient(c, smtp, setup);
        const Result<ObjectMailReceipt> receipt =
            SendObjectMail(smtp, TmsMailAddress(setup.address, setup.name), mail, table);
        if (!receipt) return Failed(c, receipt.Error());
        if (!receipt->farewellProblem.isEmpty())
            c.out << FarewellWarning(receipt->farewellProblem) << '\n';
        if (!receipt->copyProblem.isEmpty())
            c.out << CopyNotSavedWarning(receipt->copyProblem) << '\n';
        for (const MessageObject& m : mail.objects)
            if (const Done listed = UpdateObjectNameList(m.object.ClassName(),
                                                         ObjectKey(m.object, table), m.action);
                !listed)
                c.out << "The name list was not updated: " << listed.Error() << '\n';
        c.out << "Sent to " << mail.registry.robot << ": " << receipt->subject << " "
              << receipt->messageId << '\n';
        return CliOk;
    } catch (const Exception& e) {
        return Failed(c, e.Message());
    }
}

int RunNew(CliContext& c) {
    const QStringList sets = TakeOptionValues(c.args, "--set");
    const Result<Rules> rules = TakeRegistry(c);
    const QString className = TakeWords(c, 1, "one CLASS").front();
    if (!rules) return Failed(c, rules.Error());
    const ClassRules* rulesOfClass = rules->table->Class(className.toLower());
    if (!rulesOfClass)
        throw CliUsageError{"unknown class " + className + " under the " + rules->table->Title() +
                            " rules"};
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
    if (action == "fetch") return RunFetch(c);
    if (action == "submit") return RunSubmit(c);
    throw CliUsageError{"unknown object command " + action};
}

CliRegistration objectCommand{{"object", kUsage, RunObject}};
} // namespace
