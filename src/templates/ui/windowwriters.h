#pragma once
// The template writers on the main window: the record read from its controls, the paths kept in
// its DomainFormFile/DomainRecordFile (and host, contact) fields. Show Form and the mail commands
// use these.
#include "templates/templatefiles.h"

class TForm1;
struct TRecordPage;

// The window's path fields of a page.
TemplateFiles WindowPaths(const TRecordPage& page);
void StoreWindowPaths(const TRecordPage& page, const TemplateFiles& files);

// WriteDomainForm, WriteHostForm or WriteContactForm on the window's record of that kind. The
// path fields get the new paths before the text file is made, so they hold them even when the
// write fails (a refused name keeps the old ones). Failures raise EInOutError.
void WriteWindowForm(TForm1& form, RecordKind kind);
