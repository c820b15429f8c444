#pragma once
// The three kinds of registration record and their fields: the control of the main window that
// holds each field, the label the user sees, the template line that carries it and its typing
// limit. Everything else (writers, record files, copy and clear) works by control name. What a
// kind holds is described once, in the kind table (recordkinds.h); the lookups by kind here read
// it.
#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

enum class RecordKind { Domain, Host, Contact };

enum class FieldType {
    Text,     // edit: its whole text
    Memo,     // multi-line text with CR LF line breaks
    Selector, // editable combo box with a fixed list: selected item for templates, text otherwise
    NameBox,  // editable combo box holding the record name, with the name list as its items
};

struct FieldInfo {
    QString control;
    QString label;
    QString line; // template line, for example "4c"
    int limit;    // typing limit; 0 for none
    FieldType type;
};

// Every field of a kind in window order (tab by tab), without the action and public radios.
const std::vector<FieldInfo>& RecordFields(RecordKind kind);
// The field with that control name in any kind, or null.
const FieldInfo* FindField(const QString& control);

// The fixed value lists.
const QStringList& AuthorizationSchemes(); // "MAIL-FROM", "CRYPT-PW", "PGP"
const QStringList& UpdateNotifications();  // "AFTER-UPDATE", "BEFORE-UPDATE", "NOT-CARE"
const QStringList& UseNotifications();     // "AFTER-USE", "BEFORE-USE", "NOT-CARE"
// The list of a selector field; empty for other fields.
QStringList SelectorItems(const QString& control);

// Names of a kind: its word, its name box, its folder, its name list file and the three action
// radios.
QString KindWord(RecordKind kind);         // "domain", "host", "contact"
QString NameBoxControl(RecordKind kind);   // "DomainNameEdit", "HostName", "Contactname"
QString KindFolderName(RecordKind kind);   // "domains", "hosts", "contacts"
QString NameListFile(RecordKind kind);     // "domains.cbx", "hosts.cbx", "Contacts.cbx"
QStringList ActionRadios(RecordKind kind); // New, Modify, Delete radio control names

// One record as read from the window.
struct Record {
    RecordKind kind = RecordKind::Domain;
    QMap<QString, QString> text;     // every field's whole (displayed) text, by control name
    QMap<QString, QString> selected; // selector fields: the selected list item, empty if none
    QString action;                  // "N", "M", "D" or empty
    QString publicFlag;              // contact only: "Y", "N" or empty

    QString Name() const { return text.value(NameBoxControl(kind)); }
    QString Text(const QString& control) const { return text.value(control); }
    QString Selected(const QString& control) const { return selected.value(control); }
};

// An empty record of a kind: every field present and empty, action "N", public flag "N".
Record EmptyRecord(RecordKind kind);

// The action code from the three radios' checked states (tested in order, the last checked wins).
QString ActionCode(bool isNew, bool isModify, bool isDelete);
// The public flag from the two public radios.
QString PublicFlag(bool yes, bool no);

// A record name is used as a file's base name. One that holds "/" would reach outside the kind's
// folder, a control character (a NUL byte, CR, LF, TAB, ESC, ...) would split a name list or a log
// line or reach a terminal, and "." and ".." name folders rather than records, so these are
// refused before any file is touched.
bool IsSafeRecordName(const QString& name);
// Whether `name` holds a C0 or C1 control character or DEL.
bool HoldsControlCharacter(const QString& name);
