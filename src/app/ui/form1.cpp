#include "app/ui/form1.h"

#include "app/ui/attach.h"
#include "platform/guard.h"

#include <QCloseEvent>
#include <QEvent>
#include <QTabWidget>

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Form1");
    setWindowTitle("Regiscribe 1.71");
    auto* pages = new QTabWidget(this);
    pages->setObjectName("PageControl1");
    // The five pages; their controls are built on them by name.
    const char* sheets[][2] = {{"DomainRegSheet", "Domain Reg"},
                               {"HostRegSheet", "Host Reg"},
                               {"ContactRegSheet", "Contact Reg"},
                               {"WhoIsSheet", "WhoIs"},
                               {"FingerSheet", "Finger"}};
    for (auto& sheet : sheets) {
        auto* page = new QWidget(pages);
        page->setObjectName(sheet[0]);
        pages->addTab(page, sheet[1]);
    }
    setCentralWidget(pages);
    setFixedSize(538, 384);
    AttachTemplates(*this);
    AttachEditing(*this);
    AttachStore(*this);
    AttachMail(*this);
    AttachLookups(*this);
    AttachDecor(*this);
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    for (auto& step : CreateSteps)
        Guarded(step);
}

void TForm1::FormActivate() {
    for (auto& step : ActivateSteps)
        Guarded(step);
}

bool TForm1::FormClose() {
    for (auto& step : CloseSteps)
        if (!Guarded(step)) return false;
    return true;
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
    QMainWindow::changeEvent(event);
}
