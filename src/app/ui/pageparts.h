#pragma once
// Parts that several pages of the main window share: the tab sheets of a nested page control, the
// New/Modify/Delete group, an address block and the review page's button column, and the record
// page a builder hands back.
#include "app/ui/recordpage.h"

#include <QString>
#include <QStringList>

class QBoxLayout;
class QGridLayout;
class QPlainTextEdit;
class QTabWidget;
class QWidget;

// A nested tab sheet with its name, caption ("&&" shows one "&") and hint.
QWidget* AddSheet(QTabWidget* pages, const QString& name, const QString& caption,
                  const QString& hint = QString());

struct RadioSpec {
    const char* name;
    const char* caption;
    const char* hint;
};
// The three action radios in their own group (so they exclude only each other); the first is
// checked.
QWidget* MakeActionGroup(QWidget* parent, const QString& name, const RadioSpec (&radios)[3]);

// An address block in the window's usual arrangement. `controls` are the block's twelve controls
// in role order: handle, role, name, organization, street, city, state, postal code, country,
// phone, fax, e-mail; an empty name leaves its place free.
QGridLayout* MakeAddressBlock(QWidget* parent, const QStringList& controls);

struct ButtonSpec {
    const char* name;
    const char* caption;
    const char* hint;
};
// A framed column of buttons, for the copy panels and the review pages.
QWidget* MakeButtonColumn(QWidget* parent, const QString& name,
                          const std::initializer_list<ButtonSpec>& buttons);

// The same buttons side by side, without a frame, sharing the width.
QWidget* MakeButtonRow(QWidget* parent, const QString& name,
                       const std::initializer_list<ButtonSpec>& buttons);

// A status line ("status...") and its progress bar in one row.
QBoxLayout* MakeStatusRow(QWidget* parent, const QString& statusName, const QString& barName);

// A review memo of the host and contact pages: read-only template text in "Courier" 8 point, both
// scroll bars, no wrapping.
QPlainTextEdit* MakeReviewMemo(QWidget* sheet, const QString& name, const QString& accessibleName);

// The names a page's builder gave the controls of its record page; the name box and the action
// radios carry the kind's own names (recordkinds.h).
struct RecordPageNames {
    const char* showForm;
    const char* mail;
    const char* clearAll;
    const char* saveDefault;
    const char* print;
    const char* holder;
    const char* progress;
    const char* status;
};
// The record page of `kind`, its controls found on the page's tab sheet.
TRecordPage FindRecordPage(QWidget* sheet, RecordKind kind, const RecordPageNames& names);
