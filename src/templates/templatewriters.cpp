#include "templates/templatewriters.h"

#include "templates/recordkinds.h"
#include "templates/storesteps.h"
#include "templates/templatetime.h"

namespace {
// The writers' common order: paths, text file, record file.
void WriteKind(RecordKind kind, const Record& record, TemplateFiles& files) {
    PrepareTemplateFiles(kind, record.Name(), files);
    WriteTextFile(files.formFile, JoinTemplateLines(FormLines(record, ProcessedLine())));
    if (StoreSteps().saveRecordFile) StoreSteps().saveRecordFile(record, files.recordFile);
}
} // namespace

QStringList FormLines(const Record& record, const QString& processed) {
    return KindOf(record.kind).formLines(record, processed);
}

void WriteDomainForm(const Record& record, TemplateFiles& files) {
    WriteKind(RecordKind::Domain, record, files);
}

void WriteHostForm(const Record& record, TemplateFiles& files) {
    WriteKind(RecordKind::Host, record, files);
}

void WriteContactForm(const Record& record, TemplateFiles& files) {
    WriteKind(RecordKind::Contact, record, files);
}

void WriteForm(const Record& record, TemplateFiles& files) {
    WriteKind(record.kind, record, files);
}
