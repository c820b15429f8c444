// Every edit, box, radio button and button of the main window can be reached by its name:
// accessibility tools read the label or caption the user sees, and hints show as tool tips.
#include "app/ui/form1.h"
#include "app/ui/helpwindow.h"
#include "app/ui/reviewrow.h"
#include "app/ui/smtpsu.h"
#include "editing/ui/cryptdlg.h"
#include "mail/ui/passworddlg.h"
#include "nscheck/ui/nscheckdlg.h"
#include "support/ui/formdriver.h"
#include "templates/recordmodel.h"
#include "templates/ui/formviewer.h"
#include "templates/ui/windowrecord.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {
// The name a screen reader announces. An editable box reports its text as its name on this
// desktop and is named by the label related to it, so its own accessible name is taken.
QString AccessibleName(QWidget* w) {
    if (qobject_cast<QComboBox*>(w)) return w->accessibleName();
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QString();
}

// The text of the label that accessibility tools relate to `w` as its label.
QString RelatedLabel(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    if (!a) return QString();
    for (const auto& [other, relation] : a->relations(QAccessible::Label))
        return other->text(QAccessible::Name);
    return QString();
}

// The interactive controls of a window that a user reaches (not the inner parts of boxes).
QList<QWidget*> InteractiveControls(QWidget* root) {
    QList<QWidget*> controls;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        // Unnamed widgets are parts of composite controls; "qt_" ones are the toolkit's own.
        if (w->objectName().isEmpty() || w->objectName().startsWith("qt_")) continue;
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
            qobject_cast<QAbstractButton*>(w) || qobject_cast<QPlainTextEdit*>(w))
            controls << w;
    }
    return controls;
}
} // namespace

TEST(Accessibility, EveryControlHasTheNameTheUserSees) {
    TForm1 form;
    const QList<QWidget*> controls = InteractiveControls(&form);
    EXPECT_GT(controls.size(), 150);
    for (QWidget* w : controls) {
        if (w->objectName() == "Memo1") continue; // never shown
        EXPECT_FALSE(AccessibleName(w).isEmpty()) << w->objectName().toStdString();
    }
    for (RecordKind kind : {RecordKind::Domain, RecordKind::Host, RecordKind::Contact})
        for (const FieldInfo& f : RecordFields(kind)) {
            QString label = f.label;
            if (label.endsWith(':')) label.chop(1);
            QWidget* w = form.Control<QWidget>(f.control);
            // Fields that share a label are told apart after it ("Additional Nameserver 2").
            EXPECT_TRUE(AccessibleName(w).startsWith(label))
                << f.control.toStdString() << ": " << AccessibleName(w).toStdString();
            EXPECT_EQ(RelatedLabel(w), f.label) << f.control.toStdString();
        }
    EXPECT_EQ(AccessibleName(form.Control<QWidget>("BitBtn1")), "Send to Internic");
    EXPECT_EQ(AccessibleName(form.Control<QWidget>("PublicNoRadio")), "Confidential");
}

TEST(Accessibility, HintsAreToolTipsAndDescriptions) {
    TForm1 form;
    QWidget* box = form.Control<QWidget>("HostAuthScheme");
    EXPECT_EQ(box->toolTip(),
              "Authorization type for the domain that has authority over this host.");
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(box);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(QAccessible::Description), box->toolTip());
}

TEST(Accessibility, SetupDialogEditsAreNamedByTheirLabels) {
    TSetupDlg dialog;
    EXPECT_EQ(AccessibleName(dialog.ServerEdit), "SMTP Server");
    EXPECT_EQ(AccessibleName(dialog.UserAddressEdit), "EMail address");
    EXPECT_EQ(AccessibleName(dialog.UserNameEdit), "Name");
    EXPECT_EQ(AccessibleName(dialog.mailto), "Mail Registrations to");
    EXPECT_EQ(AccessibleName(dialog.OKButton), "OK");
    EXPECT_EQ(AccessibleName(dialog.CancelButton), "Cancel");
}

TEST(Accessibility, CustomDrawnControlsReadLikeTheStandardOnesTheyReplace) {
    TForm1 form;
    // A review value cut to its width still reads as its whole value.
    SetFieldText(form, "OOrgNameEdit", QString(400, 'W'));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* value = form.Control<TElidingLabel>("rorgname");
    ASSERT_TRUE(value);
    ShowSheetOf(*value); // the review tab, clicked: it shows the fields as they are
    EXPECT_TRUE(value->IsCut());
    QAccessibleInterface* label = QAccessible::queryAccessibleInterface(value);
    EXPECT_EQ(label->role(), QAccessible::StaticText);
    EXPECT_EQ(label->text(QAccessible::Name), QString(400, 'W'));
    // The answer views: a read-only text and a list (their contents are read in their own tests).
    QAccessibleInterface* memo =
        QAccessible::queryAccessibleInterface(form.Control<QWidget>("mResponse"));
    EXPECT_EQ(memo->role(), QAccessible::EditableText);
    EXPECT_EQ(memo->text(QAccessible::Name), "WHOIS answer");
    EXPECT_NE(memo->textInterface(), nullptr);
    QAccessibleInterface* list =
        QAccessible::queryAccessibleInterface(form.Control<QWidget>("lResponse"));
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->text(QAccessible::Name), "Finger answer");
}

TEST(Accessibility, NoTwoFieldsOfATabShareTheirName) {
    TForm1 form;
    for (RecordKind kind : {RecordKind::Domain, RecordKind::Host, RecordKind::Contact}) {
        QMap<QString, QString> seen; // tab and accessible name -> control
        for (const FieldInfo& f : RecordFields(kind)) {
            QWidget* w = form.Control<QWidget>(f.control);
            const QString name = w->parentWidget()->objectName() + ": " + AccessibleName(w);
            EXPECT_FALSE(seen.contains(name))
                << f.control.toStdString() << " and " << seen.value(name).toStdString()
                << " are both read as " << name.toStdString();
            seen.insert(name, f.control);
        }
    }
}

TEST(Accessibility, ARelabelledFieldIsReadByTheLabelItShows) {
    FormDriver d;
    d.Click("ModifyContactRadio");
    d.Pick("ContactAuthorizationType", "CRYPT-PW");
    d.Pick("ContactAuthenticationType", "PGP");
    for (const char* field : {"ContactAuthorizationInfo", "ContactAuthenticationInfo"}) {
        const QString shown = d.Caption(QString(field) + "Label");
        EXPECT_EQ(AccessibleName(&d.Widget(field)), shown) << field;
    }
    EXPECT_EQ(AccessibleName(&d.Widget("ContactAuthorizationInfo")), "Password");
    EXPECT_EQ(AccessibleName(&d.Widget("ContactAuthenticationInfo")), "Public PGP Key ID");
}

namespace {
// Every control a keyboard can reach in `window`, as assistive technology meets it: role and name.
void CollectFocusable(QAccessibleInterface* node, QList<QPair<QAccessible::Role, QString>>& out,
                      QStringList& unnamed) {
    if (!node) return;
    if (node->state().focusable && !node->state().invisible) {
        const QString name = node->text(QAccessible::Name);
        if (name.trimmed().isEmpty())
            unnamed << QString("role %1 of %2")
                           .arg(int(node->role()))
                           .arg(node->object() ? node->object()->objectName() : QString());
        else
            out.append({node->role(), name});
    }
    for (int i = 0; i < node->childCount(); ++i)
        CollectFocusable(node->child(i), out, unnamed);
}
} // namespace

TEST(Accessibility, TheAddedWindowsNameEveryFocusableControlOnce) {
    TNSCheckDlg check;
    TCryptDlg crypt(AllCryptMethods());
    TPasswordDlg password("jane", "mail.example.test");
    TFormView viewer;
    ShowHelpContents();
    const QList<QWidget*> windows{&check, &crypt, &password, &viewer, HelpWindow()};
    for (QWidget* window : windows) {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        QList<QPair<QAccessible::Role, QString>> controls;
        QStringList unnamed;
        CollectFocusable(QAccessible::queryAccessibleInterface(window), controls, unnamed);
        const std::string which = window->objectName().toStdString();
        EXPECT_TRUE(unnamed.isEmpty()) << which << ": " << unnamed.join(", ").toStdString();
        EXPECT_FALSE(controls.isEmpty()) << which;
        for (int i = 0; i < controls.size(); ++i)
            for (int j = i + 1; j < controls.size(); ++j)
                EXPECT_FALSE(controls[i] == controls[j])
                    << which << ": two controls read as " << controls[i].second.toStdString();
        EXPECT_FALSE(
            QAccessible::queryAccessibleInterface(window)->text(QAccessible::Name).isEmpty())
            << which;
        window->hide();
    }
}
