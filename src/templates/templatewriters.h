#pragma once
// The three template writers. Each turns a record into its registry template, writes it to the
// kind folder as name + ".txt" and then saves the record file, in the order the registry tools
// expect; `files` receives both paths before the text file is created, so they hold the new paths
// even when writing fails.
#include "templates/recordmodel.h"
#include "templates/templatefiles.h"

// A domain or host name as the registry's robot reads it: an international name as its A-label
// ("bücher.example" as "xn--bcher-kva.example"); ASCII, or a name that is no valid international
// name, as typed.
QString NameForRobot(const QString& typed);
// A mail address as the robot reads it: a domain outside ASCII as its A-label; anything else
// (a local part outside ASCII, a domain that is no valid name, text that is no address) as typed.
QString AddressForRobot(const QString& typed);

// The template's lines for a record, stamped with `processed` (see ProcessedLine).
QStringList DomainFormLines(const Record& record, const QString& processed);
QStringList HostFormLines(const Record& record, const QString& processed);
QStringList ContactFormLines(const Record& record, const QString& processed);
// The lines for the record's own kind.
QStringList FormLines(const Record& record, const QString& processed);

// The writers. A refused record name or a file that cannot be written raises EInOutError, and
// nothing after the failing step happens.
void WriteDomainForm(const Record& record, TemplateFiles& files);
void WriteHostForm(const Record& record, TemplateFiles& files);
void WriteContactForm(const Record& record, TemplateFiles& files);
// The writer of the record's own kind.
void WriteForm(const Record& record, TemplateFiles& files);
