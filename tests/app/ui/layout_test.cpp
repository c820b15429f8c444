// The fixed-size window's layout: on every tab each label, field and button lies inside its tab,
// shows its whole text and overlaps no other control.
#include "app/ui/form1.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {
bool IsPartOfComposite(QWidget* w, QWidget* sheet) {
    for (QWidget* p = w->parentWidget(); p && p != sheet; p = p->parentWidget())
        if (qobject_cast<QComboBox*>(p) || qobject_cast<QAbstractScrollArea*>(p) ||
            qobject_cast<QTabWidget*>(p))
            return true;
    return false;
}

QList<QWidget*> VisibleControls(QWidget* sheet) {
    QList<QWidget*> controls;
    for (QWidget* w : sheet->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(sheet) || IsPartOfComposite(w, sheet)) continue;
        if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
            qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
            qobject_cast<QAbstractScrollArea*>(w) || qobject_cast<QProgressBar*>(w))
            controls << w;
    }
    return controls;
}

std::string Describe(QWidget* w) {
    QString text = w->objectName();
    if (auto* label = qobject_cast<QLabel*>(w)) text += " '" + label->text() + "'";
    if (auto* button = qobject_cast<QAbstractButton*>(w)) text += " '" + button->text() + "'";
    return text.toStdString();
}

void CheckSheet(QWidget* sheet) {
    SCOPED_TRACE(sheet->objectName().toStdString());
    const QList<QWidget*> controls = VisibleControls(sheet);
    EXPECT_FALSE(controls.isEmpty());
    QList<QRect> rects;
    for (QWidget* w : controls) {
        const QRect r(w->mapTo(sheet, QPoint(0, 0)), w->size());
        rects << r;
        EXPECT_TRUE(sheet->rect().contains(r)) << Describe(w);
        const QFontMetrics fm(w->font());
        if (auto* label = qobject_cast<QLabel*>(w)) {
            // Labels that cut a long value at their cell (the review values) need not fit it.
            const bool cuts = label->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored;
            if (label->pixmap().isNull()) {
                if (!cuts) {
                    EXPECT_GE(r.width(), fm.horizontalAdvance(label->text())) << Describe(w);
                }
                EXPECT_GE(r.height(), fm.height()) << Describe(w);
            }
        } else if (qobject_cast<QAbstractButton*>(w)) {
            EXPECT_GE(r.width(), w->minimumSizeHint().width()) << Describe(w);
            EXPECT_GE(r.height(), w->minimumSizeHint().height()) << Describe(w);
        } else {
            EXPECT_GE(r.height(), std::min(w->minimumSizeHint().height(), fm.height()))
                << Describe(w);
            EXPECT_GE(r.width(), 2 * fm.horizontalAdvance('M')) << Describe(w);
        }
    }
    for (int i = 0; i < rects.size(); ++i)
        for (int j = i + 1; j < rects.size(); ++j)
            EXPECT_FALSE(rects[i].intersects(rects[j]))
                << Describe(controls[i]) << " overlaps " << Describe(controls[j]);
}
} // namespace

TEST(Layout, EveryTabShowsItsControlsWholeAndApart) {
    TForm1 form;
    form.show();
    auto* pages = form.Control<QTabWidget>("PageControl1");
    int sheets = 0;
    for (const char* name : {"PageControl2", "PageControl3", "PageControl4"}) {
        auto* nested = form.Control<QTabWidget>(name);
        pages->setCurrentWidget(nested->parentWidget());
        for (int i = 0; i < nested->count(); ++i) {
            nested->setCurrentIndex(i);
            QCoreApplication::processEvents();
            CheckSheet(nested->widget(i));
            ++sheets;
        }
        nested->setCurrentIndex(0);
    }
    EXPECT_EQ(sheets, 13);
}
