#include "lookup/ui/whoistab.h"

#include "app/ui/form1.h"
#include "app/ui/helptopics.h"
#include "lookup/serveraddress.h"
#include "lookup/ui/answermemo.h"
#include "lookup/ui/lineviewaccessible.h"
#include "lookup/ui/lookuppage.h"
#include "platform/guard.h"
#include "platform/messageboxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>
#include <utility>

WhoisTab::WhoisTab(TForm1& form, TlcIPPort& port)
    : QObject(&form), lookup(port, *this), rdap(*this, this) {
    setObjectName("WhoisTab");
    QWidget* page = form.Control<QWidget>("WhoIsSheet");
    InstallLineViewAccessibility();
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

    // A split button: pressed, it looks the text up as what it shows itself to be; its menu (the
    // arrow, or Down on the button) asks for an entity or a name server instead.
    bRdap_ = new QToolButton(page);
    bRdap_->setText("RDAP");
    bRdap_->setObjectName("bRdap");
    bRdap_->setToolTip("Looks the name up with RDAP, the registries' current service. Its menu "
                       "asks for a contact's handle or a name server instead.");
    bRdap_->setAccessibleName("RDAP");
    bRdap_->setAccessibleDescription(bRdap_->toolTip());
    bRdap_->setPopupMode(QToolButton::MenuButtonPopup);
    bRdap_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bRdap_->setFocusPolicy(Qt::StrongFocus);
    bRdap_->setMinimumHeight(bLookUp_->sizeHint().height());
    auto* menu = new QMenu(bRdap_);
    menu->setObjectName("pmRdap");
    menu->setAccessibleName("RDAP look-up");
    const std::pair<RdapObject, std::array<const char*, 2>> choices[] = {
        {RdapObject::Any, {"miRdapAny", "&Name, address or AS number"}},
        {RdapObject::Entity, {"miRdapEntity", "&Entity (a contact's or registrar's handle)"}},
        {RdapObject::Nameserver, {"miRdapNameserver", "Name &server"}}};
    for (const auto& [object, texts] : choices) {
        QAction* action = menu->addAction(texts[1]);
        action->setObjectName(texts[0]);
        connect(action, &QAction::triggered, this,
                [this, object] { Guarded([this, object] { bRdapClick(object); }); });
    }
    bRdap_->setMenu(menu);
    bRdap_->installEventFilter(this);
    row.row->addWidget(bRdap_);
    connect(bRdap_, &QToolButton::clicked, this, [this] { Guarded([this] { bRdapClick(); }); });
    cbFollow_ = new QCheckBox("Follow referrals", page);
    cbFollow_->setObjectName("cbFollow");
    cbFollow_->setToolTip("After the registry's answer, also ask the registrar's WHOIS server it "
                          "names.");
    cbFollow_->setAccessibleDescription(cbFollow_->toolTip());
    cbWhoisServer_ = new QComboBox(page);
    cbWhoisServer_->setObjectName("cbWhoisServer");
    cbWhoisServer_->setEditable(true);
    cbWhoisServer_->setInsertPolicy(QComboBox::NoInsert);
    cbWhoisServer_->addItems({WhoisLookup::RegistryServer, "whois.iana.org"});
    cbWhoisServer_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbWhoisServer_->setMinimumContentsLength(24);
    cbWhoisServer_->setToolTip(
        "The WHOIS server LookUp asks, as HOST or HOST:PORT. With Follow "
        "referrals, whois.iana.org reaches every top-level domain's server.");
    cbWhoisServer_->setAccessibleName("Server");
    cbWhoisServer_->setAccessibleDescription(cbWhoisServer_->toolTip());
    auto* serverLabel = new QLabel("&Server:", page);
    serverLabel->setBuddy(cbWhoisServer_);
    // The box lines up under the name field.
    serverLabel->setMinimumWidth(row.label->sizeHint().width());
    auto* options = new QHBoxLayout;
    options->addWidget(serverLabel);
    options->addWidget(cbWhoisServer_);
    options->addStretch(1);
    options->addWidget(cbFollow_);
    row.column->insertLayout(1, options);
    SetHelpTopic(tDomain_, WhoisLookupHelpTopic);
    SetHelpTopic(cbWhoisServer_, WhoisLookupHelpTopic);
    SetHelpTopic(bRdap_, RdapHelpTopic);
    SetHelpTopic(cbFollow_, FollowReferralsHelpTopic);

    form.CreateSteps.push_back([this, &form] { ReadSettings(form.SettingsFile); });
    form.CloseSteps.push_back([this, &form] { WriteSettings(form.SettingsFile); });
}

void WhoisTab::bLookUpClick() {
    const auto server = ParseServerAddress(cbWhoisServer_->currentText(), 43);
    if (const auto* problem = std::get_if<ServerAddressProblem>(&server)) {
        return Boxes().Error(*problem == ServerAddressProblem::NoHost
                                 ? QString("Type the WHOIS server to ask into Server.")
                                 : "The WHOIS server \"" + cbWhoisServer_->currentText().trimmed() +
                                       "\" needs a port number from 1 to 65535 after its colon.");
    }
    // One look-up at a time shows in the memo.
    rdap.Cancel();
    lookup.Server = std::get<ServerAddress>(server).host;
    lookup.Port = std::get<ServerAddress>(server).port;
    lookup.FollowReferrals = cbFollow_->isChecked();
    lookup.LookUp();
}

void WhoisTab::bRdapClick(RdapObject object) {
    if (tDomain_->text().trimmed().isEmpty()) return Boxes().Beep();
    lookup.Stop();
    rdap.Start(tDomain_->text(), object);
}

void WhoisTab::ReadSettings(const QString& settingsFile) {
    settings_ = ReadLookupSettings(settingsFile);
    cbFollow_->setChecked(settings_.followReferrals);
    cbWhoisServer_->setCurrentText(settings_.whoisServer.value);
    rdap.Bootstrap = settings_.rdapBootstrap;
}

void WhoisTab::WriteSettings(const QString& settingsFile) const {
    WriteLookupSettings(settingsFile, settings_, cbFollow_->isChecked(),
                        cbWhoisServer_->currentText().trimmed());
}

bool WhoisTab::tDomainKeyPress(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    bLookUp_->click();
    return true;
}

bool WhoisTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == bRdap_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down) {
        bRdap_->showMenu();
        return true;
    }
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
