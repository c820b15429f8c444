#pragma once
// The name lists behind the three name boxes: "domains.cbx", "hosts.cbx" and "Contacts.cbx" in the
// current directory, one name per line with CR LF line ends, in the list's order.
#include "platform/exception.h"
#include "templates/recordmodel.h"

#include <QString>
#include <QStringList>

// "Cannot create file %s" or "Cannot open file %s" with the list file's name.
REGISCRIBE_EXCEPTION(ENameListError, Exception)

// The names in a list file, split at CR LF, a lone CR or a lone LF (an empty line is an empty
// name, a final line break adds none). A missing file gives an empty list; one that exists but
// cannot be read raises "Cannot open file %s".
QStringList ReadNameList(const QString& file);
// Writes the list whole, each name followed by CR LF, replacing the file atomically. A failure
// raises "Cannot create file %s" and leaves the old file as it was.
void WriteNameList(const QString& file, const QStringList& names);

// The contact list is kept in alphabetical order without regard to case (the box is sorted).
bool IsSortedList(RecordKind kind);
// Puts a list read from a file into the kind's order.
QStringList OrderedNames(RecordKind kind, QStringList names);
// Index of `name` in the list, compared without regard to case; -1 when it is not there.
qsizetype FindName(const QStringList& names, const QString& name);

// What a shown or mailed template does to its kind's list and files.
struct NameListChange {
    RecordKind kind = RecordKind::Domain;
    QString action;         // "N", "M" or "D"
    QString name;           // the name box's text
    int selectedIndex = -1; // the list entry currently selected in the box, -1 when none
    QString recordFile;     // the paths the writer has just set
    QString formFile;
};
// New: adds the name once (at the end, or at its sorted place for contacts) and rewrites the list
// file; a name already listed (in any letter case) changes nothing. Delete: removes the selected
// entry, rewrites the list file and deletes the record and template files (a file that cannot be
// deleted is left). Modify: nothing. Returns true when `names` changed.
bool ApplyNameListChange(const NameListChange& change, QStringList& names);
