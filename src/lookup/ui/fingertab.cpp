#include "lookup/ui/fingertab.h"

#include "app/ui/form1.h"
#include "lookup/ui/answerlist.h"
#include "lookup/ui/lineviewaccessible.h"
#include "lookup/ui/lookuppage.h"
#include "platform/guard.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

FingerTab::FingerTab(TForm1& form, TlcIPPort& port) : QObject(&form), lookup(port, *this) {
    setObjectName("FingerTab");
    QWidget* page = form.Control<QWidget>("FingerSheet");
    InstallLineViewAccessibility();
    lResponse_ = new TAnswerList(page);
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
    connect(fingerlookup_, &QPushButton::clicked, this,
            [this] { Guarded([this] { fingerlookupClick(); }); });
    connect(lResponse_, &TAnswerList::RowDoubleClicked, this,
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
    lResponse_->Clear();
}

void FingerTab::AddResponse(const QString& line) {
    lResponse_->AddText(line);
}

void FingerTab::AddAnswer(QByteArrayView line) {
    // Kept as received; decoded when it is shown.
    lResponse_->AddBytes(line);
}

std::optional<QString> FingerTab::SelectedResponse() const {
    const qsizetype row = lResponse_->CurrentRow();
    if (row < 0) return std::nullopt;
    return lResponse_->LineText(row);
}
