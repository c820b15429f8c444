#include "replies/ui/repliessentdlg.h"

#include "app/ui/helptopics.h"
#include "app/ui/helpwindow.h"
#include "mail/sentcopy.h"
#include "platform/guard.h"
#include "replies/replylog.h"
#include "replies/ui/replieshelp.h"
#include "replies/ui/replypane.h"
#include "replies/ui/replywatcher.h"
#include "replies/ui/verdicticons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

TRepliesSentDlg::TRepliesSentDlg(TReplyWatcher& watcher, QWidget* parent)
    : TSentDlg(parent), watcher_(watcher) {
    Model->AddExtraColumn("Status");
    // The status reads best beside the name; the server's long reply stays last.
    SentList->header()->moveSection(SentList->header()->visualIndex(StatusColumn), 3);

    FilterEdit->setAccessibleName("Filter by name, kind, recipient or status");
    FilterEdit->setPlaceholderText("Filter by name, kind, recipient or status");
    StatusChoice = new QComboBox(this);
    StatusChoice->setObjectName("StatusChoice");
    StatusChoice->setAccessibleName("Status");
    StatusChoice->addItem("Any status");
    for (ReplyStatus status : {ReplyStatus::Waiting, ReplyStatus::Received, ReplyStatus::Done,
                               ReplyStatus::Refused, ReplyStatus::Answered})
        StatusChoice->addItem(StatusWord(status));
    // A list box is spoken by its label and its value: the label is shown, and tied to it.
    auto* statusLabel = new QLabel("&Status:", this);
    statusLabel->setBuddy(StatusChoice);
    FilterRow()->insertWidget(1, statusLabel);
    FilterRow()->insertWidget(2, StatusChoice);

    // The list above, the reply below; the user moves the border between them.
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setObjectName("SentSplitter");
    split->setChildrenCollapsible(false);
    // The layout gives back the list's old item, which is the caller's to delete.
    delete Column()->replaceWidget(SentList, split);
    split->addWidget(SentList);
    Pane = new TReplyPane(split);
    split->addWidget(Pane);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    Column()->setStretchFactor(split, 1);

    CheckButton = new QPushButton("Check for Replies", this);
    CheckButton->setObjectName("CheckRepliesButton");
    CheckButton->setAutoDefault(false);
    CheckButton->setToolTip("Reads the registry's replies from your mailbox (Setup, Security..., "
                            "Replies) and matches them to what was sent.");
    StopButton = new QPushButton("Stop", this);
    StopButton->setObjectName("StopCheckButton");
    StopButton->setAutoDefault(false);
    StopButton->setToolTip("Stops the check for replies.");
    StopButton->hide();
    CheckProgress = new QProgressBar(this);
    CheckProgress->setObjectName("CheckProgress");
    CheckProgress->setAccessibleName("Checking for replies");
    CheckProgress->setRange(0, 0); // the mailbox tells no length
    CheckProgress->setTextVisible(false);
    CheckProgress->setMaximumWidth(120);
    CheckProgress->hide();
    // After Show and Show Folder.
    ButtonRow()->insertWidget(2, CheckButton);
    ButtonRow()->insertWidget(3, StopButton);
    ButtonRow()->insertWidget(4, CheckProgress);

    connect(CheckButton, &QPushButton::clicked, this,
            [this] { Guarded([this] { CheckButtonClick(); }); });
    connect(StopButton, &QPushButton::clicked, &watcher_, &TReplyWatcher::Cancel);
    connect(StatusChoice, &QComboBox::currentIndexChanged, this, [this](int index) {
        Filter->SetGroup(index <= 0 ? QString() : StatusChoice->itemText(index));
        KeepAChosenRow();
    });
    // The reply shown follows the chosen row, also when the filter takes it away.
    auto follow = [this] { Guarded([this] { ShowChosenReply(); }); };
    connect(SentList->selectionModel(), &QItemSelectionModel::currentChanged, this, follow);
    connect(SentList->selectionModel(), &QItemSelectionModel::selectionChanged, this, follow);
    connect(Filter, &QAbstractItemModel::rowsRemoved, this, follow);
    connect(Filter, &QAbstractItemModel::rowsInserted, this, follow);
    connect(Filter, &QAbstractItemModel::layoutChanged, this, follow);
    connect(&watcher_, &TReplyWatcher::CheckStarted, this, &TRepliesSentDlg::CheckStarted);
    connect(&watcher_, &TReplyWatcher::CheckFinished, this,
            [this](const QString& sentence) { CheckFinished(sentence); });

    for (QWidget* w : {static_cast<QWidget*>(CheckButton), static_cast<QWidget*>(StopButton),
                       static_cast<QWidget*>(Pane)})
        SetHelpTopic(w, RepliesHelpTopic);
    // Tab goes along the filters, down through the list and the reply to the buttons; the list
    // has the focus when the window opens.
    const QList<QWidget*> order{FilterEdit, StatusChoice,     DateRangeBox,     FromDate,
                                ToDate,     SentList,         Pane->ResultList, Pane->ReplyText,
                                ShowButton, ShowFolderButton, CheckButton,      StopButton,
                                CloseButton};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    SentList->setFocus();
    resize(860, 560);
    if (watcher_.Running()) CheckStarted();
}

void TRepliesSentDlg::Reload() {
    const QString chosen = shownId_;
    TSentDlg::Reload();
    // Only the registrations that replies name are worked out one by one; every other one is
    // waiting, which its time alone tells: a long log lists as fast as without replies.
    replies_.clear();
    Result<std::vector<ReplyLogEntry>> log = ReadReplyLog(SentFolderPath());
    if (!log) {
        SentNote->setText(SentNote->text() + "\nThe replies could not be read: " + log.Error());
    } else {
        for (ReplyLogEntry& reply : log.Value())
            replies_[MessageIdKey(reply.registrationId)].push_back(std::move(reply));
    }
    now_ = QDateTime::currentDateTime();
    const qint64 nowMs = now_.toMSecsSinceEpoch();
    RegistrationState probe;
    probe.registration.when = now_;
    const QString waiting = probe.StatusText(now_);
    probe.registration.when = now_.addSecs(-kLongWait - 1);
    const QString waitingLong = probe.StatusText(now_);
    const QString waitingGroup = StatusWord(ReplyStatus::Waiting);

    // An icon is drawn once, not once a row.
    QHash<int, QIcon> icons;
    std::vector<TSentModel::ExtraCell> cells(size_t(Model->rowCount()));
    int again = -1;
    for (int row = 0; row < Model->rowCount(); ++row) {
        const QString key = KeyOf(row);
        if (key.isEmpty()) continue; // no Message-ID: no reply can be matched to it
        if (key == chosen) again = row;
        TSentModel::ExtraCell& cell = cells[size_t(row)];
        if (!replies_.contains(key)) {
            const qint64 waited = (nowMs - Model->Log().rows[size_t(row)].msecs) / 1000;
            cell = {waited > kLongWait ? waitingLong : waiting, QIcon(), waitingGroup};
            continue;
        }
        const RegistrationState state = StateOf(row);
        auto icon = icons.find(int(state.status));
        if (icon == icons.end()) icon = icons.insert(int(state.status), VerdictIcon(state.status));
        cell = {state.StatusText(now_), *icon, StatusWord(state.status)};
    }
    Model->SetExtraCells(std::move(cells));
    SentList->resizeColumnToContents(StatusColumn);
    const QModelIndex chosenRow = Filter->mapFromSource(Model->index(again, 0));
    SentList->setCurrentIndex(chosenRow.isValid() ? chosenRow : Filter->index(0, 0));
    shownId_.clear();
    ShowChosenReply();
}

QString TRepliesSentDlg::KeyOf(int row) const {
    return MessageIdKey(QString::fromUtf8(Model->Log().Field(Model->Log().rows[size_t(row)], 4)));
}

RegistrationState TRepliesSentDlg::StateOf(int row) const {
    const SentEntry entry = Model->EntryAt(row);
    RegistrationState state;
    state.registration = {entry.when,      entry.kind,      entry.name,
                          entry.recipient, entry.messageId, QString()};
    for (const ReplyLogEntry& reply : replies_.value(MessageIdKey(entry.messageId)))
        state.Apply(reply);
    return state;
}

void TRepliesSentDlg::ShowChosenReply() {
    const int index = ChosenEntry();
    const QString key = index < 0 ? QString() : KeyOf(index);
    if (key == shownId_) return;
    shownId_ = key;
    if (key.isEmpty())
        Pane->Clear();
    else
        Pane->Show(SentFolderPath(), StateOf(index));
}

void TRepliesSentDlg::CheckButtonClick() {
    watcher_.CheckNow(true);
}

void TRepliesSentDlg::CheckStarted() {
    CheckButton->setEnabled(false);
    StopButton->show();
    CheckProgress->show();
    SentNote->setText("Checking for replies...");
}

void TRepliesSentDlg::CheckFinished(const QString& sentence) {
    StopButton->hide();
    CheckProgress->hide();
    CheckButton->setEnabled(true);
    if (isVisible()) Reload();
    SentNote->setText(sentence);
}
