#include "app/ui/form1.h"

#include "app/ui/attach.h"
#include "platform/guard.h"

#include <QCloseEvent>
#include <QEvent>

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Form1");
    setWindowTitle("Regiscribe 1.71");
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
