#include "mail/ui/sentdlg.h"

#include "app/ui/helptopics.h"
#include "app/ui/helpwindow.h"
#include "app/ui/windowfont.h"
#include "mail/ui/keptmessagedlg.h"
#include "mail/ui/sentmodel.h"
#include "mail/ui/sentwindowfit.h"
#include "platform/exception.h"
#include "platform/guard.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
QDateEdit* DateEdit(QWidget* parent, const char* name, const QString& spoken) {
    auto* edit = new QDateEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(spoken);
    edit->setCalendarPopup(true);
    // As the log writes it: one order of day, month and year whatever the language.
    edit->setDisplayFormat("yyyy-MM-dd");
    edit->setEnabled(false);
    return edit;
}
} // namespace

QString DamagedLinesNote(int damaged) {
    if (damaged <= 0) return QString();
    return damaged == 1 ? QStringLiteral("1 damaged line in the log was skipped.")
                        : QString::number(damaged) + " damaged lines in the log were skipped.";
}

TSentDlg::TSentDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("SentDlg");
    setWindowTitle("Sent Registrations");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);
    setFont(WindowFont());
    auto* column = column_ = new QVBoxLayout(this);
    Model = new TSentModel(this);
    Filter = new TSentFilter(*Model, this);

    auto* filters = filterRow_ = new QHBoxLayout;
    FilterEdit = new QLineEdit(this);
    FilterEdit->setObjectName("SentFilterEdit");
    FilterEdit->setAccessibleName("Filter by name, kind or recipient");
    FilterEdit->setPlaceholderText("Filter by name, kind or recipient");
    FilterEdit->setClearButtonEnabled(true);
    DateRangeBox = new QCheckBox("Sent &between", this);
    DateRangeBox->setObjectName("DateRangeBox");
    FromDate = DateEdit(this, "FromDate", "Sent on or after");
    ToDate = DateEdit(this, "ToDate", "Sent on or before");
    auto* andLabel = new QLabel("and", this);
    filters->addWidget(FilterEdit, 1);
    filters->addWidget(DateRangeBox);
    filters->addWidget(FromDate);
    filters->addWidget(andLabel);
    filters->addWidget(ToDate);
    column->addLayout(filters);

    SentList = new QTreeView(this);
    SentList->setObjectName("SentList");
    SentList->setAccessibleName("Sent registrations");
    SentList->setRootIsDecorated(false);
    SentList->setUniformRowHeights(true);
    SentList->setAllColumnsShowFocus(true);
    SentList->setSelectionMode(QAbstractItemView::SingleSelection);
    SentList->setSelectionBehavior(QAbstractItemView::SelectRows);
    SentList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SentList->setModel(Filter);
    // The long server reply last, where the row's width is left for it.
    SentList->header()->moveSection(TSentModel::SignedColumn, TSentModel::ReplyColumn);
    SentList->header()->setStretchLastSection(true);
    // Columns fitted to the first rows only: a long log is not measured whole.
    SentList->header()->setResizeContentsPrecision(200);
    // A click on a column's title sorts by it; newest first at the start.
    SentList->setSortingEnabled(true);
    SentList->sortByColumn(TSentModel::TimeColumn, Qt::DescendingOrder);
    column->addWidget(SentList, 1);

    SentNote = new QLabel(this);
    SentNote->setObjectName("SentNote");
    SentNote->setWordWrap(true);
    SentNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
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

    connect(SentList, &QTreeView::activated, this, [this] { Guarded([this] { ShowSelected(); }); });
    connect(ShowButton, &QPushButton::clicked, this,
            [this] { Guarded([this] { ShowSelected(); }); });
    connect(ShowFolderButton, &QPushButton::clicked, this,
            [this] { Guarded([this] { ShowFolderClick(); }); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
    connect(FilterEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        Filter->SetText(text.trimmed());
        KeepAChosenRow();
    });
    connect(DateRangeBox, &QCheckBox::toggled, this, [this] { ApplyDates(); });
    connect(FromDate, &QDateEdit::dateChanged, this, [this] { ApplyDates(); });
    connect(ToDate, &QDateEdit::dateChanged, this, [this] { ApplyDates(); });
    SetHelpTopic(this, SentWindowHelpTopic);
    InstallHelpKey(this);
    resize(760, 340);
}

void TSentDlg::Reload() {
    ShowButton->setEnabled(false);
    Result<SentLogScan> scan = ScanSentLogOf(SentFolderPath());
    if (!scan) {
        Model->Clear();
        readNote_ = "The log of sent registrations could not be read: " + scan.Error();
        SentNote->setText(readNote_);
        return;
    }
    const int damaged = scan->damaged;
    const bool anySigned = std::any_of(scan->rows.begin(), scan->rows.end(),
                                       [](const SentLogRow& row) { return row.fields > 6; });
    Model->Load(std::move(scan).Value());
    // No column of empty cells for a folder that never signed.
    SentList->setColumnHidden(TSentModel::SignedColumn, !anySigned);
    const int rows = Model->rowCount();
    readNote_ = rows == 0 ? QStringLiteral("No registration has been sent from this folder yet.")
                          : "Kept in " + SentFolderPath();
    if (damaged > 0) readNote_ += "\n" + DamagedLinesNote(damaged);
    SentNote->setText(readNote_);
    if (!DateRangeBox->isChecked() && rows > 0) {
        // The range offered first is the whole log's.
        const QSignalBlocker fromQuiet(FromDate), toQuiet(ToDate);
        const auto [oldest, newest] = std::minmax_element(
            Model->Log().rows.begin(), Model->Log().rows.end(),
            [](const SentLogRow& a, const SentLogRow& b) { return a.msecs < b.msecs; });
        FromDate->setDate(Model->Log().When(*oldest).date());
        ToDate->setDate(Model->Log().When(*newest).date());
    }
    for (int c = 0; c + 1 < Model->columnCount(); ++c)
        SentList->resizeColumnToContents(c);
    SentList->setCurrentIndex(Filter->index(0, 0));
    ShowButton->setEnabled(rows > 0);
}

int TSentDlg::EntryOfRow(int listRow) const {
    const QModelIndex source = Filter->mapToSource(Filter->index(listRow, 0));
    return source.isValid() ? source.row() : -1;
}

int TSentDlg::ChosenEntry() const {
    const QModelIndexList selected = SentList->selectionModel()->selectedRows();
    const QModelIndex chosen = selected.isEmpty() ? SentList->currentIndex() : selected.front();
    const QModelIndex source = Filter->mapToSource(chosen);
    return source.isValid() ? source.row() : -1;
}

void TSentDlg::KeepAChosenRow() {
    // The chosen row stays chosen while it is shown; else the first row shown is.
    if (SentList->currentIndex().isValid()) return;
    if (Filter->rowCount() > 0)
        SentList->setCurrentIndex(Filter->index(0, 0));
    else
        SentList->clearSelection();
}

void TSentDlg::ApplyDates() {
    const bool on = DateRangeBox->isChecked();
    FromDate->setEnabled(on);
    ToDate->setEnabled(on);
    if (on)
        Filter->SetDates(FromDate->date(), ToDate->date());
    else
        Filter->SetDates(std::nullopt, std::nullopt);
    KeepAChosenRow();
}

void TSentDlg::ShowSelected() {
    const int row = ChosenEntry();
    if (row < 0) return;
    const SentEntry entry = Model->EntryAt(row);
    const Result<QByteArray> message = ReadKeptMessage(SentFolderPath(), entry);
    if (!message) throw Exception(message.Error());
    if (!messageWindow_) messageWindow_ = new TKeptMessageDlg(this);
    messageWindow_->ShowMessage(
        *message, "Sent " + entry.kind + (entry.name.isEmpty() ? "" : " ") + entry.name + ", " +
                      QLocale::system().toString(entry.when, QLocale::ShortFormat));
}

void TSentDlg::ShowFolderClick() {
    const QString folder = SentFolderPath();
    if (OpenFolder && OpenFolder(folder)) return;
    // Without a file manager the path is the next best thing: it pastes into any other program.
    QGuiApplication::clipboard()->setText(folder);
    SentNote->setText("No file manager could open the folder; its path is on the clipboard: " +
                      folder);
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

void TSentDlg::showEvent(QShowEvent* event) {
    FitToScreen(*this);
    QDialog::showEvent(event);
}

void TSentDlg::hideEvent(QHideEvent* event) {
    // Closed, not minimised: the rows are read again when it opens, so their memory goes back.
    if (!event->spontaneous()) Model->Clear();
    QDialog::hideEvent(event);
}
