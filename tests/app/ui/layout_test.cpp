// The fixed-size window's layout: on every tab each label, field and button lies inside its tab,
// shows its whole text, overlaps no other control and has an Alt key of its own.
#include "app/ui/form1.h"
#include "app/ui/reviewrow.h"
#include "support/ui/formdriver.h"
#include "templates/ui/windowrecord.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QCoreApplication>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {
// A label's text as drawn: with a buddy, a single "&" marks the mnemonic and is not drawn.
QString ShownText(const QLabel& label) {
    QString text = label.text();
    if (!label.buddy()) return text;
    return text.replace("&&", QChar(1)).remove('&').replace(QChar(1), '&');
}

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

// The key that Alt takes a control (or a label's buddy) to; null without one.
QChar Mnemonic(QWidget* w) {
    QString text;
    if (auto* label = qobject_cast<QLabel*>(w)) text = label->buddy() ? label->text() : QString();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) text = button->text();
    text.replace("&&", "");
    const qsizetype marker = text.indexOf('&');
    return marker >= 0 && marker + 1 < text.size() ? text[marker + 1].toLower() : QChar();
}

// The Alt keys that work on every tab: the menus', and those of the controls outside the tabs.
QHash<QChar, QString> WindowKeys(TForm1& form) {
    QHash<QChar, QString> keys;
    for (QAction* menu : form.menuBar()->actions())
        keys.insert(menu->text()[menu->text().indexOf('&') + 1].toLower(), menu->text());
    auto* tabs = form.Control<QTabWidget>("PageControl1");
    for (QWidget* w : VisibleControls(&form))
        if (!tabs->isAncestorOf(w) && !Mnemonic(w).isNull())
            keys.insert(Mnemonic(w), QString::fromStdString(Describe(w)));
    return keys;
}

void CheckSheet(QWidget* sheet, TForm1& form) {
    SCOPED_TRACE(sheet->objectName().toStdString());
    const QList<QWidget*> controls = VisibleControls(sheet);
    EXPECT_FALSE(controls.isEmpty());
    // Alt and a letter reaches one control of the sheet, and no menu.
    QHash<QChar, QString> keys = WindowKeys(form);
    for (QWidget* w : controls) {
        const QChar key = Mnemonic(w);
        if (key.isNull()) continue;
        EXPECT_FALSE(keys.contains(key))
            << Describe(w) << " shares Alt+" << QString(key).toStdString() << " with '"
            << keys.value(key).toStdString() << "'";
        keys.insert(key, QString::fromStdString(Describe(w)));
    }
    QList<QRect> rects;
    for (QWidget* w : controls) {
        const QRect r(w->mapTo(sheet, QPoint(0, 0)), w->size());
        rects << r;
        EXPECT_TRUE(sheet->rect().contains(r)) << Describe(w);
        const QFontMetrics fm(w->font());
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->pixmap().isNull()) {
                // A review value too wide for a whole line is cut and shows itself as tool tip.
                auto* eliding = qobject_cast<TElidingLabel*>(label);
                if (eliding && eliding->IsCut())
                    EXPECT_EQ(eliding->toolTip(), eliding->text()) << Describe(w);
                else
                    EXPECT_GE(r.width(), fm.horizontalAdvance(ShownText(*label))) << Describe(w);
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
    form.ShowSetupBar(true); // as before the mail server is set up: its button has an Alt key
    form.show();
    int sheets = 0;
    for (const char* name : {"PageControl2", "PageControl3", "PageControl4"}) {
        auto* nested = form.Control<QTabWidget>(name);
        for (int i = 0; i < nested->count(); ++i) {
            ShowSheetOf(*nested->widget(i)); // by clicking its tabs, as the user does
            QCoreApplication::processEvents();
            CheckSheet(nested->widget(i), form);
            ++sheets;
        }
    }
    EXPECT_EQ(sheets, 13);
    // The look-up pages, with the RDAP button and the referrals check box beside the described
    // controls.
    for (const char* name : {"WhoIsSheet", "FingerSheet", "ObjectsSheet"}) {
        QWidget* sheet = form.Control<QWidget>(name);
        ShowSheetOf(*sheet);
        QCoreApplication::processEvents();
        CheckSheet(sheet, form);
    }
    // The database objects page with the fields of a registry the user names.
    PickFromList(*form.Control<QComboBox>("ObjectRegistryBox"), "Other IRRd");
    ASSERT_TRUE(form.Control<QWidget>("ObjectSourceEdit")->isVisibleTo(&form));
    CheckSheet(form.Control<QWidget>("ObjectsSheet"), form);
}

namespace {
// Long but ordinary values in every field the domain review shows.
void FillLongDomainValues(TForm1& form) {
    const std::pair<const char*, const char*> values[] = {
        {"DomainNameEdit", "registration-example-company.com"},
        {"AuthScheme", "MAIL-FROM"},
        {"AuthInfoEdit", "secretpassword1"},
        {"OOrgNameEdit", "Example Widgets International Holdings Ltd."},
        {"OAddrEdit", "1234 Long Industrial Parkway, Suite 500"},
        {"OCityEdit", "San Francisco"},
        {"OStateEdit", "California"},
        {"OZipEdit", "94107-1234"},
        {"OCountryEdit", "US"},
    };
    for (auto [field, value] : values)
        SetFieldText(form, field, value);
    for (const QString block : {"A", "T", "B"}) {
        SetFieldText(form, block + "NameEdit", "Jonathan Quincy Administrator");
        SetFieldText(form, block + "MailEdit", "jonathan.administrator@registration-example.com");
        SetFieldText(form, block + "HandleEdit", "JQA123-ORG");
        SetFieldText(form, block + "RoleEdit", "I");
        SetFieldText(form, block + "OrgEdit", "Example Widgets International Holdings Ltd.");
        SetFieldText(form, block + "PhoneEdit", "+1 415 555 0123 ext 4567");
        SetFieldText(form, block + "AddrEdit", "1234 Long Industrial Parkway, Suite 500");
        SetFieldText(form, block + "FaxEdit", "+1 415 555 0199");
        SetFieldText(form, block + "CityEdit", "San Francisco");
        SetFieldText(form, block + "StateEdit", "California");
        SetFieldText(form, block + "ZipEdit", "94107-1234");
        SetFieldText(form, block + "CountryEdit", "US");
    }
    const char* servers[][2] = {{"PriNSEdit", "PriNSIPEdit"},
                                {"SecNSEdit", "SecNSIPEdit"},
                                {"ThirdNSEdit", "ThirdNSIPEdit"},
                                {"fourthnsedit", "fourthnsipedit"}};
    for (int i = 0; i < 4; ++i) {
        SetFieldText(form, servers[i][0],
                     QString("ns%1.registration-example-company.com").arg(i + 1));
        SetFieldText(form, servers[i][1], QString("192.168.100.%1").arg(200 + i));
    }
}

QWidget* ShowDomainReview(TForm1& form) {
    auto* pages = form.Control<QTabWidget>("PageControl2");
    ShowSheetOf(*pages->widget(pages->count() - 1)); // the review tab, clicked
    // A row that wraps asks its parents for more height: layout requests travel up one level
    // per pass.
    for (int pass = 0; pass < 4; ++pass)
        QCoreApplication::processEvents();
    return pages->currentWidget();
}
} // namespace

TEST(Layout, TheDomainReviewShowsLongValuesWholeAndCutsOnlyWhatNoLineHolds) {
    TForm1 form;
    form.show();
    FillLongDomainValues(form);
    QWidget* review = ShowDomainReview(form);
    const QList<TElidingLabel*> values = review->findChildren<TElidingLabel*>();
    EXPECT_EQ(values.size(), 54);
    for (TElidingLabel* value : values) {
        EXPECT_NE(value->text(), "n/a") << Describe(value);
        EXPECT_FALSE(value->IsCut()) << Describe(value);
        EXPECT_TRUE(value->toolTip().isEmpty()) << Describe(value);
    }
    CheckSheet(review, form);

    // A value wider than a whole line is cut and tells itself as tool tip.
    auto* pages = form.Control<QTabWidget>("PageControl2");
    ShowSheetOf(*pages->widget(0));
    SetFieldText(form, "AMailEdit", QString(300, 'm') + "@example.com");
    ShowDomainReview(form);
    auto* mail = form.Control<TElidingLabel>("radminemail");
    EXPECT_TRUE(mail->IsCut());
    EXPECT_EQ(mail->toolTip(), mail->text());
    EXPECT_TRUE(mail->ShownText().endsWith(QChar(0x2026)));
    CheckSheet(review, form);
}
