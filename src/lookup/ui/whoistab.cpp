#include "lookup/ui/whoistab.h"

#include "app/ui/form1.h"
#include "lookup/ui/answermemo.h"
#include "lookup/ui/lookuppage.h"
#include "platform/guard.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

WhoisTab::WhoisTab(TForm1& form, TlcIPPort& port) : QObject(&form), lookup(port, *this) {
    setObjectName("WhoisTab");
    QWidget* page = form.Control<QWidget>("WhoIsSheet");
    mResponse_ = new TAnswerMemo(page);
    mResponse_->setObjectName("mResponse");
    mResponse_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mResponse_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mResponse_->setAccessibleName("WHOIS answer");
    LookupPageRow row = BuildLookupPage(page, "Domain Name to Look Up:", "tDomain",
                                        "Enter a domain name, host or contact.", "bLookUp",
                                        WhoisLookup::LookUpHint(), mResponse_);
    tDomain_ = row.field;
    bLookUp_ = row.button;
    tDomain_->installEventFilter(this);
    connect(bLookUp_, &QPushButton::clicked, this, [this] { Guarded([this] { bLookUpClick(); }); });
}

void WhoisTab::bLookUpClick() {
    lookup.LookUp();
}

bool WhoisTab::tDomainKeyPress(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    bLookUp_->click();
    return true;
}

bool WhoisTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tDomain_ && event->type() == QEvent::KeyPress) {
        bool taken = false;
        Guarded([&] { taken = tDomainKeyPress(static_cast<QKeyEvent*>(event)->key()); });
        return taken;
    }
    return QObject::eventFilter(watched, event);
}

QString WhoisTab::QueryText() const {
    return tDomain_->text();
}

void WhoisTab::SetQueryText(const QString& text) {
    tDomain_->setText(text);
}

void WhoisTab::ClearResponse() {
    mResponse_->Clear();
}

void WhoisTab::AddResponse(const QString& line) {
    mResponse_->AddText(line);
}

void WhoisTab::AddAnswer(QByteArrayView line) {
    // Kept as received; decoded when it is shown.
    mResponse_->AddBytes(line);
}
