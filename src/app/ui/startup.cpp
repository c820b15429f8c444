#include "app/ui/startup.h"

#include "app/ui/form1.h"
#include "platform/ui/qtmessageboxes.h"

#include <QApplication>
#include <memory>

int RunRegiscribe(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("Regiscribe");
    SetBoxes(std::make_shared<QtMessageBoxes>());
    TForm1 form;
    form.show();
    return app.exec();
}
