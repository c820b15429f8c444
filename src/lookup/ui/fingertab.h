#pragma once
// The Finger tab: tHost, fingerlookup and lResponse on the window's "FingerSheet", wired to the
// Finger look-up that runs on IPPort2.
#include "lookup/fingerlookup.h"

#include <QObject>
#include <QStringList>

class TForm1;
class TlcIPPort;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

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
    std::optional<QString> SelectedResponse() const override;

    // Shows the lines added since the last pass of the event loop (they are shown in batches).
    void ShowAddedLines();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStringList added_;
    QTimer* showTimer_;
    QLineEdit* tHost_;
    QPushButton* fingerlookup_;
    QListWidget* lResponse_;
};
