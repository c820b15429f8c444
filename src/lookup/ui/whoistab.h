#pragma once
// The WhoIs tab: tDomain, bLookUp and mResponse on the window's "WhoIsSheet", wired to the WHOIS
// look-up that runs on IPPort1; beside them the "RDAP" button (the registries' current service)
// and "Follow referrals" (ask the registrar's WHOIS server too); the "Server" box picks the WHOIS
// server asked.
#include "lookup/lookupsettings.h"
#include "lookup/rdaplookup.h"
#include "lookup/whoislookup.h"

#include <QObject>

class TForm1;
class TlcIPPort;
class QLineEdit;
class TAnswerMemo;
class QCheckBox;
class QComboBox;
class QPushButton;
class QToolButton;

class WhoisTab : public QObject, public LookupView {
    Q_OBJECT
public:
    WhoisTab(TForm1& form, TlcIPPort& port);

    // The flow behind the tab; LookUp points it at the Server box's server.
    WhoisLookup lookup;
    // The RDAP look-up behind "RDAP" (tests point its Bootstrap at a local server).
    TRdapLookup rdap;

    void bLookUpClick();
    // Looks the name up with RDAP, abandoning an RDAP look-up in progress: as what it shows itself
    // to be (the button), or as the entity or name server chosen on the button's menu.
    void bRdapClick(RdapObject object = RdapObject::Any);
    // Enter is swallowed and clicks bLookUp; true when the key was taken.
    bool tDomainKeyPress(int key);

    QString QueryText() const override;
    void SetQueryText(const QString& text) override;
    void ClearResponse() override;
    void AddResponse(const QString& line) override;
    void AddAnswer(QByteArrayView line) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ReadSettings(const QString& settingsFile);
    void WriteSettings(const QString& settingsFile) const;

    LookupSettings settings_;
    QLineEdit* tDomain_;
    QPushButton* bLookUp_;
    QToolButton* bRdap_;
    QCheckBox* cbFollow_;
    QComboBox* cbWhoisServer_;
    TAnswerMemo* mResponse_;
};
