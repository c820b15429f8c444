#pragma once
// "Name server check": a modeless window that runs the check of the domain page's name servers and
// shows each finding as it arrives, with an icon for ok, warning and error, and the summary at the
// end. "Copy" puts every line on the clipboard as text, "Check Again" runs it anew, "Close" (and
// closing the window) cancels a check still running.
#include "nscheck/nscheck.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

class TNSCheckDlg : public QDialog {
    Q_OBJECT
public:
    explicit TNSCheckDlg(QWidget* parent = nullptr);

    QListWidget* CheckLines;
    QLabel* SummaryLabel;
    QPushButton* CopyButton;
    QPushButton* CheckAgainButton;
    QPushButton* CloseButton;

    // Starts a check of `domain` and its servers (as read from the page now).
    void Run(const QString& domain, const std::vector<ListedServer>& servers);
    // The page's current texts, asked again by Check Again.
    std::function<void()> OnCheckAgain;
    TNameServerCheck& Check() { return check_; }
    // Every line as text, the summary last.
    QString Text() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void ShowLine(const CheckLine& line);
    TNameServerCheck check_;
};
