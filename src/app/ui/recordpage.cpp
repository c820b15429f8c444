#include "app/ui/recordpage.h"

#include "platform/exception.h"

const TRecordPage& TRecordPages::Of(RecordKind kind) const {
    for (const TRecordPage& page : pages_)
        if (page.kind == kind) return page;
    throw Exception("The main window has no " + KindOf(kind).word + " page");
}
