#pragma once
// The lower pane of Sent Registrations: the chosen registration's reply, read off the window
// thread (a signed reply waits for GnuPG). A heading (when the reply came, from whom, its
// verdict), then the per-object results as a list (a tick or a cross and the robot's line, every
// error line under it) and the reply's text. A registration with several replies (a tracking
// number, then the completion) shows the one that settled its status, and a list to choose the
// others. Peers' text is shown with its controls escaped.
#include "platform/tasks.h"
#include "replies/registrationstates.h"
#include "replies/replyreading.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;

class TReplyPane : public QWidget {
    Q_OBJECT
public:
    explicit TReplyPane(QWidget* parent = nullptr);
    ~TReplyPane() override;

    QComboBox* ReplyChooser; // shown when more than one reply came
    QLabel* Heading;
    QListWidget* ResultList;
    QPlainTextEdit* ReplyText;

    // Shows the state's deciding reply (read from `sentFolder`), or says that none came.
    void Show(const QString& sentFolder, const RegistrationState& state);
    void Clear();
    // A reading is under way.
    bool Reading() const { return reading_; }

private:
    void ShowReply(int index);
    void ShowReading(const ReplyLogEntry& entry, const ReplyReading& reading);

    QWidget* chooserRow_;
    QString sentFolder_;
    std::vector<ReplyLogEntry> replies_;
    CancelToken token_;
    bool reading_ = false;
};
