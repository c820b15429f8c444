#include "templates/ui/formviewer.h"

#include "platform/guard.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

TFormView::TFormView(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("FormView");
    setWindowTitle("Regiscribe Form Viewer");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setAccessibleName("Registration form");
    QFont font("Courier New", 8);
    font.setStyleHint(QFont::TypeWriter);
    Memo1->setFont(font);
    // Tab stops every eight characters, so the agreement's headings line up as in the file.
    Memo1->setTabStopDistance(8 * Memo1->fontMetrics().averageCharWidth());
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Text, Qt::black);
    Memo1->setPalette(palette);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    layout->addWidget(Memo1, 1);

    auto* panel = new QWidget(this);
    panel->setObjectName("Panel1");
    panel->setFixedHeight(47);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(8, 7, 8, 7);
    row->addStretch(1);
    closebtn = new QPushButton("Close", panel);
    closebtn->setObjectName("closebtn");
    closebtn->setFixedSize(75, 33);
    row->addWidget(closebtn);
    layout->addWidget(panel);
    connect(closebtn, &QPushButton::clicked, this,
            [this] { Guarded([this] { closebtnClick(); }); });
    // Escape closes it as the button does, wherever the focus is in it.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { Guarded([this] { closebtnClick(); }); });

    resize(522, 426);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(522 / 2, 426 / 2));
    }
}

void TFormView::SetLines(const QStringList& lines) {
    Memo1->setPlainText(lines.join('\n'));
}

void TFormView::ShowViewer() {
    show();
    raise();
    activateWindow();
}

void TFormView::closebtnClick() {
    hide();
}
