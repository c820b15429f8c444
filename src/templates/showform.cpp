#include "templates/showform.h"

#include "platform/messageboxes.h"
#include "templates/recordkinds.h"

QString EmptyNameMessage(RecordKind kind) {
    return KindOf(kind).emptyNameMessage;
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
