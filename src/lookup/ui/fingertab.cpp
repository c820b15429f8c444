#include "lookup/ui/fingertab.h"

#include "app/ui/form1.h"
#include "lookup/ui/lookuppage.h"
#include "platform/guard.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

FingerTab::FingerTab(TForm1& form, TlcIPPort& port) : QObject(&form), lookup(port, *this) {
    setObjectName("FingerTab");
    QWidget* page = form.Control<QWidget>("FingerSheet");
    lResponse_ = new QListWidget(page);
    lResponse_->setObjectName("lResponse");
    lResponse_->setToolTip("Double click on a line for more information on user.");
    lResponse_->setAccessibleName("Finger answer");
    lResponse_->setAccessibleDescription(lResponse_->toolTip());
    LookupPageRow row =
        BuildLookupPage(page, "Host or User@Host", "tHost", "Enter username@host to finger",
                        "fingerlookup", "Lookup host for username you are fingering.", lResponse_);
    tHost_ = row.field;
    fingerlookup_ = row.button;
    tHost_->installEventFilter(this);
    // Every line is one row of the same height, so the list lays out a batch of rows without
    // measuring each; lines that arrive together are added together, once per pass of the event
    // loop.
    lResponse_->setUniformItemSizes(true);
    showTimer_ = new QTimer(this);
    showTimer_->setSingleShot(true);
    showTimer_->setInterval(0);
    connect(showTimer_, &QTimer::timeout, this, &FingerTab::ShowAddedLines);
    connect(fingerlookup_, &QPushButton::clicked, this,
            [this] { Guarded([this] { fingerlookupClick(); }); });
    connect(lResponse_, &QListWidget::itemDoubleClicked, this,
            [this] { Guarded([this] { lResponseDblClick(); }); });
}

void FingerTab::fingerlookupClick() {
    lookup.LookUp();
}

bool FingerTab::tHostKeyPress(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    fingerlookup_->click();
    return true;
}

void FingerTab::lResponseDblClick() {
    lookup.lResponseDblClick();
}

void FingerTab::tHostDblClick() {
    lookup.tHostDblClick();
}

bool FingerTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tHost_ && event->type() == QEvent::KeyPress) {
        bool taken = false;
        Guarded([&] { taken = tHostKeyPress(static_cast<QKeyEvent*>(event)->key()); });
        return taken;
    }
    if (watched == tHost_ && event->type() == QEvent::MouseButtonDblClick) {
        // The field's own double-click (selecting a word) comes first; the look-up follows it.
        tHost_->event(event);
        Guarded([this] { tHostDblClick(); });
        return true;
    }
    return QObject::eventFilter(watched, event);
}

QString FingerTab::QueryText() const {
    return tHost_->text();
}

void FingerTab::SetQueryText(const QString& text) {
    tHost_->setText(text);
}

void FingerTab::ClearResponse() {
    added_.clear();
    lResponse_->clear();
}

void FingerTab::AddResponse(const QString& line) {
    added_ << line;
    if (!showTimer_->isActive()) showTimer_->start();
}

void FingerTab::ShowAddedLines() {
    showTimer_->stop();
    if (added_.isEmpty()) return;
    lResponse_->addItems(added_);
    added_.clear();
    lResponse_->scrollToBottom();
}

std::optional<QString> FingerTab::SelectedResponse() const {
    QListWidgetItem* item = lResponse_->currentItem();
    if (!item || !item->isSelected()) return std::nullopt;
    return item->text();
}
