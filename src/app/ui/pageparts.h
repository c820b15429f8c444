#pragma once
// Parts that several pages of the main window share: the tab sheets of a nested page control, the
// New/Modify/Delete group, an address block and the review page's button column, and the record
// page a builder hands back.
#include "app/ui/recordpage.h"

#include <QList>
#include <QString>
#include <QStringList>

class QBoxLayout;
class QGridLayout;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QWidget;
class TStatusLine;

// A nested tab sheet with its name, caption ("&&" shows one "&") and hint.
QWidget* AddSheet(QTabWidget* pages, const QString& name, const QString& caption,
                  const QString& hint = QString());

struct RadioSpec {
    const char* name;
    const char* caption;
    const char* hint;
};
// The three action radios in their own group (so they exclude only each other); the first is
// checked. They become `page`'s action radios.
QWidget* MakeActionGroup(QWidget* parent, const QString& name, const RadioSpec (&radios)[3],
                         TRecordPage& page);

// An address block in the window's usual arrangement. `controls` are the block's twelve controls
// in role order: handle, role, name, organization, street, city, state, postal code, country,
// phone, fax, e-mail; an empty name leaves its place free.
QGridLayout* MakeAddressBlock(QWidget* parent, const QStringList& controls);

struct ButtonSpec {
    const char* name;
    const char* caption;
    const char* hint;
};
// A panel of buttons and the buttons on it, in the order given.
struct ButtonPanel {
    QWidget* panel = nullptr;
    QList<QPushButton*> buttons;
};
// A framed column of buttons, for the copy panels and the review pages.
ButtonPanel MakeButtonColumn(QWidget* parent, const QString& name,
                             const std::initializer_list<ButtonSpec>& buttons);

// The same buttons side by side, without a frame, sharing the width.
ButtonPanel MakeButtonRow(QWidget* parent, const QString& name,
                          const std::initializer_list<ButtonSpec>& buttons);

// A review page's five buttons (Show Form, the mail button, Clear All, Save as Default, Print, in
// this order) become `page`'s.
void TakeReviewButtons(const ButtonPanel& review, TRecordPage& page);

// A status line ("status...") and its progress bar in one row.
struct StatusRow {
    QBoxLayout* row = nullptr;
    TStatusLine* status = nullptr;
    QProgressBar* progress = nullptr;
};
StatusRow MakeStatusRow(QWidget* parent, const QString& statusName, const QString& barName);

// A review memo of the host and contact pages: read-only template text in "Courier" 8 point, both
// scroll bars, no wrapping.
QPlainTextEdit* MakeReviewMemo(QWidget* sheet, const QString& name, const QString& accessibleName);

// The review sheet of the host and contact pages: the review memo (which takes the written
// template) beside the framed column of the five review buttons, the status row below; all of
// them become `page`'s.
struct MemoReviewNames {
    const char* memo;
    const char* memoAccessibleName;
    const char* panel;
    const char* status;
    const char* progress;
};
void BuildMemoReviewSheet(QWidget* sheet, const MemoReviewNames& names,
                          const std::initializer_list<ButtonSpec>& buttons, TRecordPage& page);
