#pragma once
// Sent Registrations with the registry's replies: a "Status" column (waiting, received NIC-...,
// done, refused, answered; "waiting for more than 24 hours" when so), "Check for Replies" with
// its progress and Stop (the check runs off the window thread, the window stays usable), and
// below the list the chosen registration's reply with its per-object results. The status is a
// column of the window's own model: its filter text finds it too, and a choice of statuses keeps
// only the rows of one.
#include "mail/ui/sentdlg.h"
#include "mail/ui/sentmodel.h"
#include "replies/registrationstates.h"

#include <QHash>

class QComboBox;
class QProgressBar;
class TReplyPane;
class TReplyWatcher;

class TRepliesSentDlg : public TSentDlg {
    Q_OBJECT
public:
    static constexpr int StatusColumn = TSentModel::ExtraColumn;

    TRepliesSentDlg(TReplyWatcher& watcher, QWidget* parent = nullptr);

    QComboBox* StatusChoice = nullptr;
    QPushButton* CheckButton = nullptr;
    QPushButton* StopButton = nullptr;
    QProgressBar* CheckProgress = nullptr;
    TReplyPane* Pane = nullptr;

    // The log and the replies read again; the chosen registration stays chosen.
    void Reload() override;
    void CheckButtonClick();

private:
    void ShowChosenReply();
    void CheckStarted();
    void CheckFinished(const QString& sentence);

    // A row's Message-ID key (empty for none).
    QString KeyOf(int row) const;
    // The row's registration with its replies applied.
    RegistrationState StateOf(int row) const;

    // Waiting longer than this (seconds) is said so.
    static constexpr qint64 kLongWait = 24 * 3600;
    TReplyWatcher& watcher_;
    QHash<QString, std::vector<ReplyLogEntry>> replies_; // by the registration's MessageIdKey
    QDateTime now_;
    QString shownId_; // the registration the pane shows
};
