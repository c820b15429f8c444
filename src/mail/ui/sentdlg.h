#pragma once
// "Sent Registrations": the log of every accepted registration (time, kind, name, recipient,
// server reply, signature), newest first; a click on a column's title sorts by that column. Above
// the list a filter keeps the rows whose kind, name or recipient hold what is typed, and those
// sent between two dates. A double click or Enter on a row shows the kept message, read-only;
// "Show Folder" opens the sent folder in the desktop's file manager, or puts its path on the
// clipboard when none can. Modeless: the main window stays usable beside it. The rows are read
// again each time it opens and dropped when it closes. Other subsystems extend it by deriving (a
// column of the model, filters, buttons, panes).
#include "mail/sentcopy.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QDateEdit;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
class QVBoxLayout;
class TKeptMessageDlg;
class TSentFilter;
class TSentModel;

class TSentDlg : public QDialog {
public:
    explicit TSentDlg(QWidget* parent = nullptr);

    QLineEdit* FilterEdit = nullptr;
    QCheckBox* DateRangeBox = nullptr;
    QDateEdit* FromDate = nullptr;
    QDateEdit* ToDate = nullptr;
    QTreeView* SentList = nullptr;
    QPushButton* ShowButton = nullptr;
    QPushButton* ShowFolderButton = nullptr;
    QPushButton* CloseButton = nullptr;
    QLabel* SentNote = nullptr;
    TSentModel* Model = nullptr;
    TSentFilter* Filter = nullptr;

    // Reads the log of the current folder's "sent" folder again.
    virtual void Reload();
    // The chosen row's kept message in the message window; an error box when it is gone.
    void ShowSelected();
    void ShowFolderClick();
    // The window of the kept message, once one was shown.
    TKeptMessageDlg* MessageWindow() const { return messageWindow_; }

    // Opens a folder (the URL launcher with the file manager); false when nothing could.
    std::function<bool(const QString& folder)> OpenFolder;

    // The chosen row's entry in the model: the selected one (assistive technology selects
    // rows), else the current one; -1 for none.
    int ChosenEntry() const;
    // The model's row of a row of the list (-1 for none).
    int EntryOfRow(int listRow) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    QVBoxLayout* Column() const { return column_; }
    QHBoxLayout* FilterRow() const { return filterRow_; }
    QHBoxLayout* ButtonRow() const { return buttonRow_; }
    // The note below the list after a reading: where the log is, and how much of it was skipped.
    QString ReadNote() const { return readNote_; }
    // Chooses the first row shown when the chosen one was filtered out.
    void KeepAChosenRow();

private:
    void ApplyDates();

    QVBoxLayout* column_ = nullptr;
    QHBoxLayout* filterRow_ = nullptr;
    QHBoxLayout* buttonRow_ = nullptr;
    TKeptMessageDlg* messageWindow_ = nullptr;
    QString readNote_;
};

// The note for a log read with `damaged` lines that are not entries ("" for none).
QString DamagedLinesNote(int damaged);
