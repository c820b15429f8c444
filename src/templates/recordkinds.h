#pragma once
// One description per kind of record: everything that differs between a domain, a host and a
// contact apart from the window's controls. The subsystems read a kind's words, lists and rules
// here instead of deciding by kind themselves, so a new kind is one more entry in the table (and
// one more page in the window).
#include "templates/recordmodel.h"
#include "templates/storekey.h"

#include <QString>
#include <QStringList>
#include <vector>

struct RequiredItem {
    QString item;    // as the template numbers and labels it: "3a. Organization Name"
    QString control; // the field that fills it
};

// The fields a page's action radios open and close (see editing/selectorrules.h).
struct ActionOpenings {
    QStringList closedByNew;    // closed by New and by a declined Delete, in this order
    QStringList openedByModify; // opened by Modify and by a confirmed Delete, in this order
    QString closedByMailFrom;   // closed again by Modify while the authorization type is MAIL-FROM
};

// The template's lines for a record of the kind, stamped with `processed`.
using FormLinesWriter = QStringList (*)(const Record& record, const QString& processed);

struct RecordKindInfo {
    RecordKind kind;
    QString word;               // "domain": the command line's word and the log's
    QString folder;             // "domains": the folder of its templates and record files
    QString nameListFile;       // "domains.cbx"
    bool sortedNameList;        // the name list is kept sorted (else newest first)
    QString nameBox;            // the field holding the record name
    bool nameIsHostName;        // the name is a host or domain name (the robot reads its A-label)
    bool hasPublicFlag;         // the record carries the public flag
    QStringList actionRadios;   // New, Modify, Delete radio control names
    QString authorizationField; // the authorization scheme whose "PGP" stops a send
    QString subjectWords;       // the mail subject's words after the name
    QString emptyNameMessage;   // Show Form, Print and Mail without a name
    QString storeSection;       // the defaults section and the record file's section
    std::vector<FieldInfo> fields;           // every field in window order
    std::vector<RequiredItem> requiredItems; // of a new registration, in template order
    QStringList clearAllFields;              // what Clear All empties, in that order
    ActionOpenings actionOpenings;
    std::vector<StoreKey> defaultsKeys;   // as Save as Default writes them
    std::vector<StoreKey> recordFileKeys; // as the record file is written
    FormLinesWriter formLines;
};

const RecordKindInfo& KindOf(RecordKind kind);
// Every kind, in the order of the window's pages.
const std::vector<RecordKind>& RecordKinds();
