#pragma once
// The three template writers. Each turns a record into its registry template, writes it to the
// kind folder as name + ".txt" and then saves the record file, in the order the registry tools
// expect; `files` receives both paths before the text file is created, so they hold the new paths
// even when writing fails.
#include "templates/recordmodel.h"
#include "templates/templatefiles.h"
#include "templates/templatelines.h"

// The lines for the record's own kind.
QStringList FormLines(const Record& record, const QString& processed);

// The writers. A refused record name or a file that cannot be written raises EInOutError, and
// nothing after the failing step happens.
void WriteDomainForm(const Record& record, TemplateFiles& files);
void WriteHostForm(const Record& record, TemplateFiles& files);
void WriteContactForm(const Record& record, TemplateFiles& files);
// The writer of the record's own kind.
void WriteForm(const Record& record, TemplateFiles& files);
