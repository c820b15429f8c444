#include "replies/ui/repliessentdlg.h"

#include "app/ui/helptopics.h"
#include "app/ui/helpwindow.h"
#include "mail/sentcopy.h"
#include "platform/guard.h"
#include "replies/ui/replieshelp.h"
#include "replies/ui/replypane.h"
#include "replies/ui/replywatcher.h"
#include "replies/ui/verdicticons.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

TRepliesSentDlg::TRepliesSentDlg(TReplyWatcher& watcher, QWidget* parent)
    : TSentDlg(parent), watcher_(watcher) {
    SentList->setHeaderLabels({"Time", "Kind", "Name", "Recipient", "Server reply", "Status"});
    // The status reads best beside the name; the server's long reply stays last.
    SentList->header()->moveSection(StatusColumn, 3);

    FilterEdit = new QLineEdit(this);
    FilterEdit->setObjectName("SentFilterEdit");
    FilterEdit->setAccessibleName("Filter by name, kind or status");
    FilterEdit->setPlaceholderText("Filter by name, kind or status");
    FilterEdit->setClearButtonEnabled(true);
    Column()->insertWidget(0, FilterEdit);

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
    connect(FilterEdit, &QLineEdit::textChanged, this,
            [this] { Guarded([this] { ApplyFilter(); }); });
    connect(SentList, &QTreeWidget::currentItemChanged, this,
            [this] { Guarded([this] { ShowChosenReply(); }); });
    connect(SentList, &QTreeWidget::itemSelectionChanged, this,
            [this] { Guarded([this] { ShowChosenReply(); }); });
    connect(&watcher_, &TReplyWatcher::CheckStarted, this, &TRepliesSentDlg::CheckStarted);
    connect(&watcher_, &TReplyWatcher::CheckFinished, this,
            [this](const QString& sentence) { CheckFinished(sentence); });

    SetHelpTopic(this, SentRegistrationsHelpTopic);
    for (QWidget* w : {static_cast<QWidget*>(CheckButton), static_cast<QWidget*>(StopButton),
                       static_cast<QWidget*>(Pane)})
        SetHelpTopic(w, RepliesHelpTopic);
    InstallHelpKey(this);
    // Tab goes from the filter down through the list and the reply to the buttons; the list has
    // the focus when the window opens.
    const QList<QWidget*> order{FilterEdit,      SentList,   Pane->ResultList,
                                Pane->ReplyText, ShowButton, ShowFolderButton,
                                CheckButton,     StopButton, CloseButton};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    SentList->setFocus();
    resize(860, 560);
    if (watcher_.Running()) CheckStarted();
}

void TRepliesSentDlg::Reload() {
    const QString chosen = shownId_;
    TSentDlg::Reload();
    states_.clear();
    Result<std::vector<RegistrationState>> states = ReadRegistrationStates(SentFolderPath());
    if (!states) {
        SentNote->setText(SentNote->text() + "\nThe replies could not be read: " + states.Error());
    } else {
        for (RegistrationState& state : states.Value())
            states_.insert(MessageIdKey(state.registration.messageId), std::move(state));
    }
    const QDateTime now = QDateTime::currentDateTime();
    QTreeWidgetItem* again = nullptr;
    // Sorted again once the statuses are in (the list may be sorted by them).
    SentList->setSortingEnabled(false);
    for (int row = 0; row < SentList->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = SentList->topLevelItem(row);
        const int index = EntryIndexOf(item);
        if (index < 0) continue;
        const QString key = MessageIdKey(Entries()[size_t(index)].messageId);
        const auto state = states_.constFind(key);
        const QString status = state == states_.constEnd() ? QString() : state->StatusText(now);
        item->setText(StatusColumn, status);
        item->setToolTip(StatusColumn, status);
        if (state != states_.constEnd()) item->setIcon(StatusColumn, VerdictIcon(state->status));
        if (key == chosen) again = item;
    }
    SentList->setSortingEnabled(true);
    if (!again) again = SentList->topLevelItem(0);
    if (again) SentList->setCurrentItem(again);
    shownId_.clear();
    ApplyFilter();
    ShowChosenReply();
}

void TRepliesSentDlg::ApplyFilter() {
    const QString wanted = FilterEdit->text().trimmed();
    QTreeWidgetItem* firstShown = nullptr;
    for (int row = 0; row < SentList->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = SentList->topLevelItem(row);
        bool shown = wanted.isEmpty();
        for (int column : {1, 2, StatusColumn})
            shown = shown || item->text(column).contains(wanted, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && !firstShown) firstShown = item;
    }
    // The chosen row stays chosen while it is shown; else the first row shown is.
    QTreeWidgetItem* current = SentList->currentItem();
    if (!current || current->isHidden()) {
        SentList->setCurrentItem(firstShown);
        if (!firstShown) SentList->clearSelection();
    }
    ShowChosenReply();
}

void TRepliesSentDlg::ShowChosenReply() {
    const int index = ChosenEntry();
    const QString key = index < 0 ? QString() : MessageIdKey(Entries()[size_t(index)].messageId);
    if (key == shownId_) return;
    shownId_ = key;
    const auto state = states_.constFind(key);
    if (state == states_.constEnd())
        Pane->Clear();
    else
        Pane->Show(SentFolderPath(), *state);
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
