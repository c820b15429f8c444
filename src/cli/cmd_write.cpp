// regiscribe-cli write: Show Form of a record kind's page, without the window.
#include "cli/command.h"
#include "platform/exception.h"
#include "platform/fullstop.h"
#include "templates/showform.h"
#include "templates/storesteps.h"

namespace {
const char* const kUsage =
    "regiscribe-cli write KIND NAME [--set FIELD=VALUE]... [--action N|M|D] [--public Y|N]";

RecordKind ParseKind(const QString& word) {
    if (word == "domain") return RecordKind::Domain;
    if (word == "host") return RecordKind::Host;
    if (word == "contact") return RecordKind::Contact;
    throw CliUsageError{"KIND must be domain, host or contact, not " + word};
}

const FieldInfo* KindField(RecordKind kind, const QString& control) {
    for (const FieldInfo& f : RecordFields(kind))
        if (f.control == control) return &f;
    return nullptr;
}

// One --set FIELD=VALUE: the field's text, and for a selector its picked item when the value is
// exactly one of its list's items.
void ApplySetting(Record& record, const QString& setting) {
    const qsizetype eq = setting.indexOf('=');
    if (eq <= 0) throw CliUsageError{"--set needs FIELD=VALUE, not " + setting};
    const QString control = setting.left(eq);
    const QString value = setting.mid(eq + 1);
    const FieldInfo* field = KindField(record.kind, control);
    if (!field) throw CliUsageError{"no field " + control + " in this kind of record"};
    if (field->type == FieldType::NameBox)
        throw CliUsageError{"the record name is given as NAME, not with --set " + control};
    const bool breaks = value.contains('\n') || value.contains('\r');
    if (breaks && field->type != FieldType::Memo)
        throw CliUsageError{"only PurposeEdit may hold line breaks"};
    record.text[control] = value;
    if (field->type == FieldType::Selector)
        record.selected[control] = SelectorItems(control).contains(value) ? value : QString();
}

QString ChoiceOption(QStringList& args, const QString& name, const QStringList& choices) {
    const QString value = TakeOption(args, name, choices.front());
    if (!choices.contains(value))
        throw CliUsageError{name + " must be " + choices.join(" or ") + ", not " + value};
    return value;
}

int RunWrite(CliContext& c) {
    QStringList args = c.args;
    const QStringList settings = TakeOptionValues(args, "--set");
    const QString action = ChoiceOption(args, "--action", {"N", "M", "D"});
    const bool publicGiven =
        args.contains("--public") || std::any_of(args.begin(), args.end(), [](const QString& a) {
            return a.startsWith("--public=");
        });
    const QString publicFlag = ChoiceOption(args, "--public", {"N", "Y"});
    RejectUnknownOptions(args);
    args.removeAll("--");
    if (args.size() != 2) throw CliUsageError{"KIND and NAME are needed, and nothing else"};
    const RecordKind kind = ParseKind(args[0]);
    if (publicGiven && kind != RecordKind::Contact)
        throw CliUsageError{"--public is for contact records only"};

    Record record = EmptyRecord(kind);
    record.text[NameBoxControl(kind)] = args[1];
    if (record.Name().isEmpty()) {
        c.err << EmptyNameMessage(kind) << "\n";
        return CliFailed;
    }
    try {
        // Nothing is read for a name that would leave the kind folder.
        RefuseUnsafeRecordName(record.Name());
        if (StoreSteps().loadRecordFile)
            StoreSteps().loadRecordFile(record,
                                        KindFolderPath(kind) + "/" + record.Name() + ".ini");
        for (const QString& setting : settings)
            ApplySetting(record, setting);
        record.action = action;
        // A public flag loaded from the record file stays unless --public is given.
        if (kind != RecordKind::Contact)
            record.publicFlag = QString();
        else if (publicGiven)
            record.publicFlag = publicFlag;

        TemplateFiles files;
        ShowFormSteps steps;
        steps.updateNameList = StoreSteps().updateNameListFile;
        ShowFormFlow(record, files, steps);
        c.out << files.formFile << "\n";
        return CliOk;
    } catch (const Exception& e) {
        c.err << WithFullStop(e.Message()) << "\n";
        return CliFailed;
    }
}

CliRegistration registration({"write", kUsage, RunWrite});
} // namespace
