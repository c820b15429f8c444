#include "cli/recordargs.h"

#include "cli/command.h"
#include "templates/recordkinds.h"
#include "templates/storesteps.h"
#include "templates/templatefiles.h"

#include <algorithm>

namespace {
RecordKind ParseKind(const QString& word) {
    for (RecordKind kind : RecordKinds())
        if (word == KindOf(kind).word) return kind;
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
} // namespace

RecordArguments ParseRecordArguments(QStringList args) {
    RecordArguments parsed;
    parsed.settings = TakeOptionValues(args, "--set");
    parsed.action = ChoiceOption(args, "--action", {"N", "M", "D"});
    parsed.publicGiven = args.contains("--public") ||
                         std::any_of(args.begin(), args.end(),
                                     [](const QString& a) { return a.startsWith("--public="); });
    parsed.publicFlag = ChoiceOption(args, "--public", {"N", "Y"});
    RejectUnknownOptions(args);
    args.removeAll("--");
    if (args.size() != 2) throw CliUsageError{"KIND and NAME are needed, and nothing else"};
    parsed.kind = ParseKind(args[0]);
    parsed.name = args[1];
    if (parsed.publicGiven && !KindOf(parsed.kind).hasPublicFlag)
        throw CliUsageError{"--public is for contact records only"};
    return parsed;
}

Record BuildRecord(const RecordArguments& parsed) {
    Record record = EmptyRecord(parsed.kind);
    record.text[NameBoxControl(parsed.kind)] = parsed.name;
    // Nothing is read for a name that would leave the kind folder.
    RefuseUnsafeRecordName(record.Name());
    if (StoreSteps().loadRecordFile)
        StoreSteps().loadRecordFile(record, RecordFileOf(parsed.kind, record.Name()));
    for (const QString& setting : parsed.settings)
        ApplySetting(record, setting);
    record.action = parsed.action;
    // A public flag loaded from the record file stays unless --public is given.
    if (!KindOf(parsed.kind).hasPublicFlag)
        record.publicFlag = QString();
    else if (parsed.publicGiven)
        record.publicFlag = parsed.publicFlag;
    return record;
}
