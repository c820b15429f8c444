#pragma once
// The WhoIs tab: tDomain, bLookUp and mResponse on the window's "WhoIsSheet", wired to the WHOIS
// look-up that runs on IPPort1.
#include "lookup/whoislookup.h"

#include <QObject>

class TForm1;
class TlcIPPort;
class QLineEdit;
class TAnswerMemo;
class QPushButton;

class WhoisTab : public QObject, public LookupView {
    Q_OBJECT
public:
    WhoisTab(TForm1& form, TlcIPPort& port);

    // The flow behind the tab (tests point its Server at a local one).
    WhoisLookup lookup;

    void bLookUpClick();
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
    QLineEdit* tDomain_;
    QPushButton* bLookUp_;
    TAnswerMemo* mResponse_;
};
