#include "templates/ui/windowwriters.h"

#include "app/ui/form1.h"
#include "platform/exception.h"
#include "templates/templatewriters.h"
#include "templates/ui/windowrecord.h"

TemplateFiles WindowPaths(const TForm1& form, RecordKind kind) {
    switch (kind) {
    case RecordKind::Domain:
        return {form.DomainFormFile, form.DomainRecordFile};
    case RecordKind::Host:
        return {form.HostFormFile, form.HostRecordFile};
    case RecordKind::Contact:
        break;
    }
    return {form.ContactFormFile, form.ContactRecordFile};
}

void StoreWindowPaths(TForm1& form, RecordKind kind, const TemplateFiles& files) {
    switch (kind) {
    case RecordKind::Domain:
        form.DomainFormFile = files.formFile;
        form.DomainRecordFile = files.recordFile;
        return;
    case RecordKind::Host:
        form.HostFormFile = files.formFile;
        form.HostRecordFile = files.recordFile;
        return;
    case RecordKind::Contact:
        form.ContactFormFile = files.formFile;
        form.ContactRecordFile = files.recordFile;
        return;
    }
}

void WriteWindowForm(TForm1& form, RecordKind kind) {
    TemplateFiles files = WindowPaths(form, kind);
    try {
        WriteForm(ReadRecord(form, kind), files);
    } catch (const Exception&) {
        StoreWindowPaths(form, kind, files);
        throw;
    }
    StoreWindowPaths(form, kind, files);
}
