#pragma once
// The Finger tab: tHost, fingerlookup and lResponse on the window's "FingerSheet", wired to the
// Finger look-up that runs on IPPort2.
#include "lookup/fingerlookup.h"

#include <QObject>

class TForm1;
class TlcIPPort;
class QLineEdit;
class TAnswerList;
class QPushButton;

class FingerTab : public QObject, public LookupView {
    Q_OBJECT
public:
    FingerTab(TForm1& form, TlcIPPort& port);

    // The flow behind the tab (tests point its Port at a local server).
    FingerLookup lookup;

    void fingerlookupClick();
    // Enter is swallowed and clicks fingerlookup; true when the key was taken.
    bool tHostKeyPress(int key);
    void lResponseDblClick();
    void tHostDblClick();

    QString QueryText() const override;
    void SetQueryText(const QString& text) override;
    void ClearResponse() override;
    void AddResponse(const QString& line) override;
    void AddAnswer(QByteArrayView line) override;
    std::optional<QString> SelectedResponse() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* tHost_;
    QPushButton* fingerlookup_;
    TAnswerList* lResponse_;
};
