// Shows one look-up answer in the window's WhoIs or Finger tab, as the user asks for it, and
// prints the seconds from the click until the whole answer is shown and painted, and the number
// of answer lines the tab holds.
//   lookup_display whois PORT QUERY     (a WHOIS server on 127.0.0.1:PORT)
//   lookup_display finger PORT TEXT     (a Finger server on 127.0.0.1:PORT)
#include "app/ui/form1.h"
#include "lookup/lcipport.h"
#include "lookup/ui/answerlist.h"
#include "lookup/ui/answermemo.h"
#include "lookup/ui/fingertab.h"
#include "lookup/ui/whoistab.h"
#include "platform/messageboxes.h"
#include "platform/wait.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: lookup_display whois|finger PORT TEXT\n");
        return 2;
    }
    const QString kind = argv[1];
    const auto port = uint16_t(QString(argv[2]).toUInt());
    auto boxes = std::make_shared<ScriptedBoxes>();
    SetBoxes(boxes);
    TForm1 form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 1;
    const bool whois = kind == "whois";
    form.Control<QTabWidget>("PageControl1")
        ->setCurrentWidget(form.Control<QWidget>(whois ? "WhoIsSheet" : "FingerSheet"));
    if (whois) {
        // The Server box as a user sets it: its text selected and typed over. LookUp asks the
        // server the box names.
        auto* server = form.Control<QComboBox>("cbWhoisServer");
        server->lineEdit()->selectAll();
        QTest::keyClicks(server->lineEdit(), "127.0.0.1:" + QString::number(port));
    } else {
        form.findChild<FingerTab*>()->lookup.Port = port;
    }
    form.Control<QLineEdit>(whois ? "tDomain" : "tHost")->setText(argv[3]);
    auto* button = form.Control<QPushButton>(whois ? "bLookUp" : "fingerlookup");
    TlcIPPort* ipport = whois ? form.IPPort1 : form.IPPort2;
    ProcessPendingEvents();

    QElapsedTimer clock;
    clock.start();
    button->click();
    WaitUntil([ipport] { return !ipport->Connected(); }, 600000);
    // The last lines are shown on the next pass of the event loop, then painted.
    ProcessPendingEvents();
    int lines = 0;
    auto* view = form.Control<TLineView>(whois ? "mResponse" : "lResponse");
    view->viewport()->repaint();
    lines = int(view->Count());
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("%.4f %d\n", seconds, lines);
    return boxes->Texts("error").isEmpty() && boxes->Texts("warning").isEmpty() ? 0 : 1;
}
