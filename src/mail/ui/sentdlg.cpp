#include "mail/ui/sentdlg.h"

#include "app/ui/windowfont.h"
#include "mail/keptmessage.h"
#include "platform/exception.h"
#include "platform/guard.h"
#include "platform/idna.h"
#include "platform/peertext.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// A domain or host name that went as its A-label, with its Unicode form beside it.
QString ShownName(const SentEntry& entry) {
    if (entry.kind != "domain" && entry.kind != "host") return entry.name;
    const std::optional<QString> unicode = ToULabel(entry.name);
    if (!unicode || *unicode == entry.name) return entry.name;
    return entry.name + " (" + *unicode + ")";
}

constexpr int kWhenRole = Qt::UserRole + 1;

// A row sorts by what its column means: the time by the moment, the rest as the reader's language
// orders text.
class SentItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        if (column == 0)
            return data(0, kWhenRole).toDateTime() < other.data(0, kWhenRole).toDateTime();
        return text(column).localeAwareCompare(other.text(column)) < 0;
    }
};
} // namespace

TSentDlg::TSentDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("SentDlg");
    setWindowTitle("Sent Registrations");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);
    setFont(WindowFont());
    auto* column = column_ = new QVBoxLayout(this);

    SentList = new QTreeWidget(this);
    SentList->setObjectName("SentList");
    SentList->setAccessibleName("Sent registrations");
    SentList->setRootIsDecorated(false);
    SentList->setUniformRowHeights(true);
    SentList->setAllColumnsShowFocus(true);
    SentList->setHeaderLabels({"Time", "Kind", "Name", "Recipient", "Server reply"});
    SentList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    SentList->header()->setStretchLastSection(true);
    // A click on a column's title sorts by it; newest first at the start.
    SentList->setSortingEnabled(true);
    SentList->sortByColumn(0, Qt::DescendingOrder);
    column->addWidget(SentList, 1);

    SentNote = new QLabel(this);
    SentNote->setObjectName("SentNote");
    SentNote->setWordWrap(true);
    column->addWidget(SentNote);

    auto* buttons = buttonRow_ = new QHBoxLayout;
    ShowButton = new QPushButton("Show", this);
    ShowButton->setObjectName("ShowButton");
    ShowButton->setToolTip("Shows the message as it was sent (also a double click or Enter).");
    ShowFolderButton = new QPushButton("Show Folder", this);
    ShowFolderButton->setObjectName("ShowFolderButton");
    ShowFolderButton->setToolTip("Opens the folder of the kept messages.");
    CloseButton = new QPushButton("Close", this);
    CloseButton->setObjectName("CloseButton");
    for (QPushButton* b : {ShowButton, ShowFolderButton, CloseButton})
        b->setAutoDefault(false);
    buttons->addWidget(ShowButton);
    buttons->addWidget(ShowFolderButton);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    column->addLayout(buttons);

    connect(SentList, &QTreeWidget::itemActivated, this,
            [this] { Guarded([this] { ShowSelected(); }); });
    connect(ShowButton, &QPushButton::clicked, this,
            [this] { Guarded([this] { ShowSelected(); }); });
    connect(ShowFolderButton, &QPushButton::clicked, this,
            [this] { Guarded([this] { ShowFolderClick(); }); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
    resize(720, 320);
}

void TSentDlg::Reload() {
    SentList->clear();
    entries_.clear();
    ShowButton->setEnabled(false);
    Result<std::vector<SentEntry>> log = ReadSentLog(SentFolderPath());
    if (!log) {
        SentNote->setText("The log of sent registrations could not be read: " + log.Error());
        return;
    }
    entries_ = std::move(log).Value();
    const QLocale locale = QLocale::system();
    // Sorted once when all rows are in, not at every row.
    SentList->setSortingEnabled(false);
    for (size_t i = 0; i < entries_.size(); ++i) {
        const SentEntry& entry = entries_[i];
        auto* item = new SentItem(SentList);
        item->setData(0, Qt::UserRole, int(i));
        item->setData(0, kWhenRole, entry.when);
        // A log written by an older version may hold a server's control characters as they came.
        const QString reply = PeerText(entry.reply, PeerTextLines::Escape);
        item->setText(0, locale.toString(entry.when, QLocale::ShortFormat));
        item->setText(1, PeerText(entry.kind, PeerTextLines::Escape));
        item->setText(2, PeerText(ShownName(entry), PeerTextLines::Escape));
        item->setText(3, PeerText(entry.recipient, PeerTextLines::Escape));
        item->setText(4, reply);
        item->setToolTip(4, reply);
    }
    SentNote->setText(entries_.empty() ? "No registration has been sent from this folder yet."
                                       : "Kept in " + SentFolderPath());
    SentList->setSortingEnabled(true);
    if (!entries_.empty()) SentList->setCurrentItem(SentList->topLevelItem(0));
    ShowButton->setEnabled(!entries_.empty());
}

int TSentDlg::EntryIndexOf(const QTreeWidgetItem* item) const {
    if (!item) return -1;
    bool ok = false;
    const int index = item->data(0, Qt::UserRole).toInt(&ok);
    return ok && index >= 0 && size_t(index) < entries_.size() ? index : -1;
}

int TSentDlg::ChosenEntry() const {
    const QList<QTreeWidgetItem*> selected = SentList->selectedItems();
    return EntryIndexOf(selected.isEmpty() ? SentList->currentItem() : selected.front());
}

void TSentDlg::ShowSelected() {
    const int row = ChosenEntry();
    if (row < 0) return;
    const Result<QByteArray> message = ReadKeptMessage(SentFolderPath(), entries_[size_t(row)]);
    if (!message) throw Exception(message.Error());
    if (ShowMessage) ShowMessage(KeptMessageLines(*message));
}

void TSentDlg::ShowFolderClick() {
    if (OpenFolder) OpenFolder(SentFolderPath());
}

void TSentDlg::keyPressEvent(QKeyEvent* event) {
    // Enter in the list has shown the chosen message (the list's activation); it must not go on
    // to close the window as a dialog's Enter would.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && SentList->hasFocus()) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
