#pragma once
// Sent Registrations with the registry's replies: a "Status" column (waiting, received NIC-...,
// done, refused, answered; "waiting for more than 24 hours" when so), "Check for Replies" with
// its progress and Stop (the check runs off the window thread, the window stays usable), and
// below the list the chosen registration's reply with its per-object results. A filter box above
// the list keeps the rows whose name, kind or status hold what is typed.
#include "mail/ui/sentdlg.h"
#include "replies/registrationstates.h"

#include <QHash>

class QLineEdit;
class QProgressBar;
class TReplyPane;
class TReplyWatcher;

class TRepliesSentDlg : public TSentDlg {
    Q_OBJECT
public:
    static constexpr int StatusColumn = 5;

    TRepliesSentDlg(TReplyWatcher& watcher, QWidget* parent = nullptr);

    QLineEdit* FilterEdit = nullptr;
    QPushButton* CheckButton = nullptr;
    QPushButton* StopButton = nullptr;
    QProgressBar* CheckProgress = nullptr;
    TReplyPane* Pane = nullptr;

    // The log and the replies read again; the chosen registration stays chosen.
    void Reload() override;
    void CheckButtonClick();
    // Hides the rows whose name, kind and status all lack the filter's text (any case).
    void ApplyFilter();

private:
    void ShowChosenReply();
    void CheckStarted();
    void CheckFinished(const QString& sentence);

    TReplyWatcher& watcher_;
    QHash<QString, RegistrationState> states_; // by MessageIdKey
    QString shownId_;                          // the registration the pane shows
};
