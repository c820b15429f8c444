#include "templates/ui/windowwriters.h"

#include "app/ui/form1.h"
#include "app/ui/recordpage.h"
#include "platform/exception.h"
#include "templates/templatewriters.h"
#include "templates/ui/windowrecord.h"

TemplateFiles WindowPaths(const TRecordPage& page) {
    return {*page.formFile, *page.recordFile};
}

void StoreWindowPaths(const TRecordPage& page, const TemplateFiles& files) {
    *page.formFile = files.formFile;
    *page.recordFile = files.recordFile;
}

void WriteWindowForm(TForm1& form, RecordKind kind) {
    const TRecordPage& page = form.RecordPages().Of(kind);
    TemplateFiles files = WindowPaths(page);
    try {
        WriteForm(ReadRecord(form, kind), files);
    } catch (const Exception&) {
        StoreWindowPaths(page, files);
        throw;
    }
    StoreWindowPaths(page, files);
}
