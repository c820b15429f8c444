#include "nscheck/ui/nscheckdlg.h"

#include "app/ui/windowfont.h"
#include "platform/guard.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

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
    const int icon = CheckLines->fontMetrics().height();
    CheckLines->setIconSize(QSize(icon, icon));
    column->addWidget(CheckLines, 1);
    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName("SummaryLabel");
    SummaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(SummaryLabel);
    auto* buttons = new QHBoxLayout;
    CopyButton = new QPushButton("Copy", this);
    CopyButton->setObjectName("CopyButton");
    CopyButton->setToolTip("Copies every line to the clipboard.");
    CheckAgainButton = new QPushButton("Check Again", this);
    CheckAgainButton->setObjectName("CheckAgainButton");
    CloseButton = new QPushButton("Close", this);
    CloseButton->setObjectName("CloseButton");
    for (QPushButton* b : {CopyButton, CheckAgainButton, CloseButton})
        b->setAutoDefault(false);
    buttons->addWidget(CopyButton);
    buttons->addWidget(CheckAgainButton);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    column->addLayout(buttons);

    check_.OnLine = [this](const CheckLine& line) { ShowLine(line); };
    check_.OnFinished = [this](const QString& summary) {
        SummaryLabel->setText(summary);
        CheckAgainButton->setEnabled(true);
    };
    connect(CopyButton, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(Text()); });
    connect(CheckAgainButton, &QPushButton::clicked, this, [this] {
        Guarded([this] {
            if (OnCheckAgain) OnCheckAgain();
        });
    });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
    resize(860, 400);
}

void TNSCheckDlg::Run(const QString& domain, const std::vector<ListedServer>& servers) {
    CheckLines->clear();
    SummaryLabel->setText("Checking the name servers of " + domain.trimmed() + "...");
    CheckAgainButton->setEnabled(false);
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
    if (CheckAgainButton) CheckAgainButton->setEnabled(true);
    QDialog::closeEvent(event);
}

void TNSCheckDlg::reject() {
    check_.Cancel();
    CheckAgainButton->setEnabled(true);
    QDialog::reject();
}
