#pragma once
// "Sent Registrations": the log of every accepted registration, newest first (time, kind, name,
// recipient, server reply). A double click or Enter on a row shows the kept message; "Show
// Folder" opens the sent folder in the desktop's file manager. Modeless: the main window stays
// usable beside it.
#include "mail/sentcopy.h"

#include <QDialog>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

class TSentDlg : public QDialog {
public:
    explicit TSentDlg(QWidget* parent = nullptr);

    QTreeWidget* SentList = nullptr;
    QPushButton* ShowButton = nullptr;
    QPushButton* ShowFolderButton = nullptr;
    QPushButton* CloseButton = nullptr;
    QLabel* SentNote = nullptr;

    // Reads the log of the current folder's "sent" folder again.
    void Reload();
    // The chosen row's kept message, through ShowMessage; an error box when it is gone.
    void ShowSelected();
    void ShowFolderClick();

    // Shows a kept message's lines (the form viewer).
    std::function<void(const QStringList& lines)> ShowMessage;
    // Opens a folder (the URL launcher with the file manager).
    std::function<void(const QString& folder)> OpenFolder;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::vector<SentEntry> entries_;
};
