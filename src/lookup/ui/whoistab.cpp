#include "lookup/ui/whoistab.h"

#include "app/ui/form1.h"
#include "lookup/ui/lookuppage.h"
#include "platform/guard.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

WhoisTab::WhoisTab(TForm1& form, TlcIPPort& port) : QObject(&form), lookup(port, *this) {
    setObjectName("WhoisTab");
    QWidget* page = form.Control<QWidget>("WhoIsSheet");
    mResponse_ = new QPlainTextEdit(page);
    mResponse_->setObjectName("mResponse");
    mResponse_->setReadOnly(true);
    mResponse_->setLineWrapMode(QPlainTextEdit::NoWrap);
    mResponse_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mResponse_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mResponse_->setAccessibleName("WHOIS answer");
    LookupPageRow row = BuildLookupPage(page, "Domain Name to Look Up:", "tDomain",
                                        "Enter a domain name, host or contact.", "bLookUp",
                                        WhoisLookup::LookUpHint(), mResponse_);
    tDomain_ = row.field;
    bLookUp_ = row.button;
    tDomain_->installEventFilter(this);
    // Lines that arrive together are shown together, once per pass of the event loop: adding
    // them one by one would lay out and repaint the memo for every line.
    showTimer_ = new QTimer(this);
    showTimer_->setSingleShot(true);
    showTimer_->setInterval(0);
    connect(showTimer_, &QTimer::timeout, this, &WhoisTab::ShowAddedLines);
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
    added_.clear();
    mResponse_->clear();
}

void WhoisTab::AddResponse(const QString& line) {
    added_ << line;
    if (!showTimer_->isActive()) showTimer_->start();
}

void WhoisTab::ShowAddedLines() {
    showTimer_->stop();
    if (added_.isEmpty()) return;
    mResponse_->appendPlainText(added_.join(QLatin1Char('\n')));
    added_.clear();
}
