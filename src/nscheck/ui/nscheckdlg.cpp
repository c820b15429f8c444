#include "nscheck/ui/nscheckdlg.h"

#include "app/ui/helptopics.h"
#include "app/ui/helpwindow.h"
#include "app/ui/windowfont.h"
#include "platform/guard.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {
// Rows as tall as their text needs at the list's width: a long finding wraps instead of being cut.
class WrappingRows : public QStyledItemDelegate {
public:
    explicit WrappingRows(QListWidget* list) : QStyledItemDelegate(list), list_(list) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem wrapped(option);
        wrapped.features |= QStyleOptionViewItem::WrapText;
        wrapped.rect.setWidth(list_->viewport()->width());
        return QStyledItemDelegate::sizeHint(wrapped, index);
    }

private:
    QListWidget* list_;
};
} // namespace

TNSCheckDlg::TNSCheckDlg(QWidget* parent) : QDialog(parent), check_(this) {
    setObjectName("NSCheckDlg");
    setWindowTitle("Name server check");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);
    setFont(WindowFont());
    auto* column = new QVBoxLayout(this);
    CheckLines = new QListWidget(this);
    CheckLines->setObjectName("CheckLines");
    CheckLines->setAccessibleName("Name server check findings");
    CheckLines->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    CheckLines->setSelectionMode(QAbstractItemView::ExtendedSelection);
    CheckLines->setWordWrap(true);
    CheckLines->setTextElideMode(Qt::ElideNone);
    CheckLines->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CheckLines->setResizeMode(QListView::Adjust);
    CheckLines->setItemDelegate(new WrappingRows(CheckLines));
    const int icon = CheckLines->fontMetrics().height();
    CheckLines->setIconSize(QSize(icon, icon));
    column->addWidget(CheckLines, 1);
    // Read by its text (told anew at each change), so it is never empty.
    SummaryLabel = new QLabel("No check has run yet.", this);
    SummaryLabel->setObjectName("SummaryLabel");
    SummaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(SummaryLabel);
    auto* buttons = new QHBoxLayout;
    CopyButton = new QPushButton("&Copy", this);
    CopyButton->setObjectName("CopyButton");
    CopyButton->setToolTip("Copies every line to the clipboard.");
    CheckAgainButton = new QPushButton("Check &Again", this);
    CheckAgainButton->setObjectName("CheckAgainButton");
    CloseButton = new QPushButton("C&lose", this);
    CloseButton->setObjectName("CloseButton");
    for (QPushButton* b : {CopyButton, CheckAgainButton, CloseButton})
        b->setAutoDefault(false);
    buttons->addWidget(CopyButton);
    buttons->addWidget(CheckAgainButton);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    column->addLayout(buttons);

    check_.OnLine = [this](const CheckLine& line) { ShowLine(line); };
    check_.OnFinished = [this](const QString& summary) { SummaryLabel->setText(summary); };
    connect(CopyButton, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(Text()); });
    connect(CheckAgainButton, &QPushButton::clicked, this, [this] {
        Guarded([this] {
            if (OnCheckAgain) OnCheckAgain();
        });
    });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
    SetHelpTopic(this, NameServerCheckHelpTopic);
    InstallHelpKey(this);
    // Room for a long finding on one line, but never more than the screen has (at a scale of 2
    // the width alone would pass a 1400-pixel screen): the rows wrap instead.
    QSize size(860, 400);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);
}

void TNSCheckDlg::Run(const QString& domain, const std::vector<ListedServer>& servers) {
    CheckLines->clear();
    SummaryLabel->setText("Checking the name servers of " + domain.trimmed() + "...");
    // Check Again stays enabled (and keeps the focus): pressed during a check it starts anew.
    check_.Start(domain, servers);
}

void TNSCheckDlg::ShowLine(const CheckLine& line) {
    const QStyle::StandardPixmap icon =
        line.verdict == Verdict::Ok        ? QStyle::SP_DialogApplyButton
        : line.verdict == Verdict::Notice  ? QStyle::SP_MessageBoxInformation
        : line.verdict == Verdict::Warning ? QStyle::SP_MessageBoxWarning
                                           : QStyle::SP_MessageBoxCritical;
    auto* item = new QListWidgetItem(style()->standardIcon(icon), line.Rendered(), CheckLines);
    item->setToolTip(line.Rendered());
    CheckLines->scrollToItem(item);
    // The list's own row event carries no text; this one names the new row (its level and text),
    // so that a screen reader can tell each finding as it arrives.
    QAccessibleEvent added(CheckLines, QAccessible::ObjectCreated);
    added.setChild(CheckLines->row(item));
    QAccessible::updateAccessibility(&added);
}

QString TNSCheckDlg::Text() const {
    QStringList lines;
    for (int i = 0; i < CheckLines->count(); ++i)
        lines << CheckLines->item(i)->text();
    if (!check_.Running() && !check_.Summary().isEmpty()) lines << check_.Summary();
    return lines.join('\n') + '\n';
}

void TNSCheckDlg::closeEvent(QCloseEvent* event) {
    check_.Cancel();
    QDialog::closeEvent(event);
}

void TNSCheckDlg::reject() {
    check_.Cancel();
    QDialog::reject();
}
