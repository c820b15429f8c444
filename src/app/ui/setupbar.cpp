#include "app/ui/setupbar.h"

#include "app/ui/controls.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

QWidget* MakeSetupBar(QWidget* parent, QAction* setup) {
    auto* bar = new QFrame(parent);
    bar->setObjectName("SetupBar");
    bar->setFrameShape(QFrame::StyledPanel);
    bar->setAutoFillBackground(true);
    QPalette colours = bar->palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
    bar->setPalette(colours);
    bar->setAccessibleName("Mail server not set up");
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 2, 2, 2);
    auto* text =
        MakeLabel(bar, "Set up your mail server before mailing: File > Setup...", "SetupBarText");
    text->setTextFormat(Qt::PlainText);
    row->addWidget(text, 1);
    auto* button = MakeButton(bar, "SetupBarButton", "Set &Up...",
                              "Opens Setup: the SMTP server, your address and name.");
    row->addWidget(button);
    if (setup) QObject::connect(button, &QPushButton::clicked, setup, &QAction::trigger);
    bar->hide();
    return bar;
}
