#pragma once
// "Sent Registrations": the log of every accepted registration, newest first (time, kind, name,
// recipient, server reply); a click on a column's title sorts by that column. A double click or
// Enter on a row shows the kept message; "Show Folder" opens the sent folder in the desktop's
// file manager. Modeless: the main window stays usable beside it. Other subsystems extend it by
// deriving (columns, buttons, panes).
#include "mail/sentcopy.h"

#include <QDialog>
#include <functional>
#include <vector>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

class TSentDlg : public QDialog {
public:
    explicit TSentDlg(QWidget* parent = nullptr);

    QTreeWidget* SentList = nullptr;
    QPushButton* ShowButton = nullptr;
    QPushButton* ShowFolderButton = nullptr;
    QPushButton* CloseButton = nullptr;
    QLabel* SentNote = nullptr;

    // Reads the log of the current folder's "sent" folder again.
    virtual void Reload();
    // The chosen row's kept message, through ShowMessage; an error box when it is gone.
    void ShowSelected();
    void ShowFolderClick();

    // Shows a kept message's lines (the form viewer).
    std::function<void(const QStringList& lines)> ShowMessage;
    // Opens a folder (the URL launcher with the file manager).
    std::function<void(const QString& folder)> OpenFolder;

    // The entries as read, newest first, and the one a row shows (-1 for none).
    const std::vector<SentEntry>& Entries() const { return entries_; }
    int EntryIndexOf(const QTreeWidgetItem* item) const;
    // The chosen row's entry: the selected one (assistive technology selects rows), else the
    // current one; -1 for none.
    int ChosenEntry() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QVBoxLayout* Column() const { return column_; }
    QHBoxLayout* ButtonRow() const { return buttonRow_; }

private:
    std::vector<SentEntry> entries_;
    QVBoxLayout* column_ = nullptr;
    QHBoxLayout* buttonRow_ = nullptr;
};
