#include "templates/showform.h"

#include "platform/messageboxes.h"

QString EmptyNameMessage(RecordKind kind) {
    switch (kind) {
    case RecordKind::Domain:
        return "You did not enter a domain name on the TYPE tab.";
    case RecordKind::Host:
        return "You did not enter a host name on the TYPE tab.";
    case RecordKind::Contact:
        break;
    }
    return "You did not enter a Contact Name on the Aithorization, Notify && Authentication tab.";
}

bool ShowFormFlow(const Record& record, TemplateFiles& files, const ShowFormSteps& steps) {
    if (record.Name().isEmpty()) {
        Boxes().Information(EmptyNameMessage(record.kind));
        return false;
    }
    WriteForm(record, files);
    // Read back before the name-list step: a Delete record's files go there.
    const QStringList lines = ReadTextLines(files.formFile);
    if (steps.loadHolder) steps.loadHolder(lines);
    if (steps.updateNameList) steps.updateNameList(record, files);
    return true;
}
