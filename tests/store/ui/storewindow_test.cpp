// The record store through the main window: defaults across a restart, records loaded while a
// name is typed or picked, the name lists after Show Form, and the Setup command.
#include "app/ui/form1.h"
#include "app/ui/smtpsu.h"
#include "mail/mssmtp.h"
#include "platform/messageboxes.h"
#include "platform/ui/qtmessageboxes.h"
#include "platform/wait.h"
#include "store/inifile.h"
#include "store/recordstore.h"
#include "store/ui/storebehaviour.h"
#include "support/tempdir.h"
#include "support/ui/formdriver.h"
#include "templates/ui/windowrecord.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

namespace {
std::string S(const QString& s) {
    return s.toStdString();
}

// Every window of this program reads and writes the one settings file beside the program, so the
// tests of this program take turns (ctest runs them as parallel processes) and start without it.
class StoreWindow : public testing::Test {
protected:
    StoreWindow() { SetBoxes(boxes); }
    ~StoreWindow() override {
        form.reset();
        SetBoxes(std::make_shared<ScriptedBoxes>());
    }
    TForm1& Start() {
        form.reset();
        form = std::make_unique<TForm1>();
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return *form;
    }
    void Pick(const QString& boxName, const QString& item) { PickFromList(*Box(boxName), item); }
    // Closes the window as its close box does; true when it closed.
    bool CloseWindow() { return form->FormClose(); }
    QString Text(const QString& field) { return FieldText(*form, field); }
    QComboBox* Box(const QString& name) { return form->Control<QComboBox>(name); }
    void Type(const QString& box, const QString& text) {
        QTest::keyClicks(Box(box)->lineEdit(), text);
    }
    void Click(const QString& name) { form->Control<QAbstractButton>(name)->click(); }
    QStringList Items(const QString& box) {
        QStringList items;
        for (int i = 0; i < Box(box)->count(); ++i)
            items << Box(box)->itemText(i);
        return items;
    }

    ProgramSettings guard; // this test's turn on the settings file, which starts absent
    QString settings = ProgramSettings::Path();
    ScopedWorkDir dir;
    std::shared_ptr<ScriptedBoxes> boxes = std::make_shared<ScriptedBoxes>();
    std::unique_ptr<TForm1> form;
};
} // namespace

TEST_F(StoreWindow, SaveAsDefaultComesBackAfterARestartExceptTheFieldsNotRestored) {
    Start();
    // First start: restored fields are empty, also the boxes that showed a first item.
    EXPECT_EQ(Text("AuthScheme"), "");
    EXPECT_EQ(Text("ContactNotifyUpdates"), "");
    EXPECT_EQ(form->findChild<TStore*>()->Settings().mailto, "hostmaster@internic.net");

    const std::pair<const char*, const char*> typed[] = {
        {"DomainNameEdit", "example.com"},
        {"OOrgNameEdit", "Example Inc"},
        {"TPhoneEdit", "+1 555 0100"},
        {"AuthScheme", "CRYPT-PW"},
        {"PurposeEdit", "Web\r\nand mail"},
        {"fourthnsipedit", "10.0.0.4"},
        {"HostName", "ns1.example.com"},
        {"HostNicHandle", "NS1-HST"},
        {"HostIPAddress", "10.0.0.1"},
        {"HCName", "Host Keeper"},
        {"HostAuthInfo", "pw"},
        {"Contactname", "Jane Doe"},
        {"ContactNicHandle", "JD1"},
        {"ContactRole", "I"},
        {"ContactMail", "jane@example.com"},
        {"ContactNotifyUse", "NOT-CARE"},
    };
    for (auto [field, text] : typed)
        SetFieldText(*form, field, text);
    Click("DomainDefultButton");
    Click("HostDefaultButton");
    Click("ContactDefaultButton");
    EXPECT_TRUE(boxes->Texts("error").isEmpty()) << S(boxes->Texts("error").join('|'));
    EXPECT_EQ(TIniFile(settings).ReadString("DomainReg", "TPhone", ""), "+1 555 0100");
    ASSERT_TRUE(CloseWindow());

    Start();
    for (auto [field, text] : typed) {
        const bool restored = !QStringList({"DomainNameEdit", "HostName", "HostNicHandle",
                                            "HostIPAddress", "ContactNicHandle", "ContactRole"})
                                   .contains(field);
        EXPECT_EQ(Text(field), restored ? QString(text) : QString()) << field;
    }
}

TEST_F(StoreWindow, TypingANameLoadsItsRecordAtTheFirstMatchWithoutTheSelectorReactions) {
    Record stored = EmptyRecord(RecordKind::Domain);
    stored.text["OOrgNameEdit"] = "Stored Org";
    stored.text["AuthScheme"] = "CRYPT-PW";
    stored.text["AuthInfoEdit"] = "secret";
    EnsureKindFolder(RecordKind::Domain);
    SaveRecordFile(RecordFilePath(RecordKind::Domain, "abc"), stored);
    Start();
    QWidget* info = form->Control<QWidget>("AuthInfoEdit");
    ASSERT_NE(info, nullptr);
    const bool infoEnabled = info->isEnabled();

    SetFieldText(*form, "OOrgNameEdit", "typed meanwhile");
    Type("DomainNameEdit", "ab");
    EXPECT_EQ(Text("OOrgNameEdit"), "typed meanwhile");
    Type("DomainNameEdit", "c"); // "abc": the first match
    EXPECT_EQ(Text("OOrgNameEdit"), "Stored Org");
    EXPECT_EQ(Text("AuthScheme"), "CRYPT-PW");
    EXPECT_EQ(Text("AuthInfoEdit"), "secret");
    EXPECT_EQ(info->isEnabled(), infoEnabled); // the scheme's reaction did not run
    EXPECT_EQ(form->DomainRecordFile, dir.file("domains/abc.ini"));
    SetFieldText(*form, "OOrgNameEdit", "edited again");
    Type("DomainNameEdit", "d"); // "abcd": no file, the fields stay
    EXPECT_EQ(Text("OOrgNameEdit"), "edited again");
    EXPECT_EQ(form->DomainRecordFile, dir.file("domains/abcd.ini"));

    // Text set by code is no change of the box.
    SetFieldText(*form, "DomainNameEdit", "abc");
    EXPECT_EQ(Text("OOrgNameEdit"), "edited again");
}

TEST_F(StoreWindow, PickingAContactLoadsItsPublicChoiceAndStoredSpelling) {
    Record yes = EmptyRecord(RecordKind::Contact), no = EmptyRecord(RecordKind::Contact);
    yes.text["Contactname"] = "Ann";
    yes.publicFlag = "Y";
    no.text["Contactname"] = "Bob";
    no.publicFlag = "N";
    EnsureKindFolder(RecordKind::Contact);
    SaveRecordFile(RecordFilePath(RecordKind::Contact, "Ann"), yes);
    SaveRecordFile(RecordFilePath(RecordKind::Contact, "Bob"), no);
    WriteAll("Contacts.cbx", "Bob\r\nAnn\r\n");
    Start();
    EXPECT_EQ(Items("Contactname"), QStringList({"Ann", "Bob"})); // sorted on loading
    Pick("Contactname", "Ann");
    EXPECT_TRUE(form->Control<QRadioButton>("PublicYesRadio")->isChecked());
    Pick("Contactname", "Bob");
    EXPECT_TRUE(form->Control<QRadioButton>("PublicNoRadio")->isChecked());
    EXPECT_FALSE(form->Control<QRadioButton>("PublicYesRadio")->isChecked());
    EXPECT_EQ(Text("Contactname"), "Bob");
}

TEST_F(StoreWindow, ShowFormAddsANewNameOnceAndADeleteTakesTheEntryAndItsFiles) {
    Start();
    boxes->AnswerNext(true); // a delete may be confirmed
    boxes->AnswerNext(true);
    Type("HostName", "ns1.example.com");
    SetFieldText(*form, "HostIPAddress", "10.0.0.1");
    Click("HostShowForm");
    Click("HostShowForm");
    EXPECT_EQ(Items("HostName"), QStringList{"ns1.example.com"});
    EXPECT_EQ(ReadAll("hosts.cbx"), "ns1.example.com\r\n");
    EXPECT_TRUE(QFile::exists("hosts/ns1.example.com.ini"));
    EXPECT_TRUE(QFile::exists("hosts/ns1.example.com.txt"));
    ASSERT_TRUE(CloseWindow());

    Start();
    EXPECT_EQ(Items("HostName"), QStringList{"ns1.example.com"});
    Pick("HostName", "ns1.example.com");
    EXPECT_EQ(Text("HostIPAddress"), "10.0.0.1");
    form->Control<QRadioButton>("DeleteHostRadio")->setChecked(true);
    Click("HostShowForm");
    EXPECT_TRUE(boxes->Texts("error").isEmpty()) << S(boxes->Texts("error").join('|'));
    EXPECT_TRUE(Items("HostName").isEmpty());
    EXPECT_EQ(ReadAll("hosts.cbx"), "");
    EXPECT_FALSE(QFile::exists("hosts/ns1.example.com.ini"));
    EXPECT_FALSE(QFile::exists("hosts/ns1.example.com.txt"));
}

TEST_F(StoreWindow, SetupChangesOnlyWithOkWhichWritesTheSettingsAtOnce) {
    TIniFile(settings).WriteString("Setup", "Server", "old.example");
    Start();
    TStore* store = form->findChild<TStore*>();
    ASSERT_NE(store, nullptr);
    // The user retypes the fields, then leaves the dialog one way or another.
    enum class Leave { OkButton, CancelButton, Escape, CloseBox };
    auto setup = [&](Leave leave) {
        QTimer::singleShot(0, [leave] {
            auto* dialog = qobject_cast<TSetupDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->ServerEdit->text(), "old.example"); // nothing kept from before
            for (auto [edit, text] : {std::pair{dialog->ServerEdit, QString("new.example")},
                                      {dialog->UserNameEdit, QString(300, 'n')},
                                      {dialog->mailto, QString("typo@exmaple.net")}}) {
                edit->setFocus();
                QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(edit, text);
            }
            switch (leave) {
            case Leave::OkButton:
                QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
                break;
            case Leave::CancelButton:
                QTest::mouseClick(dialog->CancelButton, Qt::LeftButton);
                break;
            case Leave::Escape:
                QTest::keyClick(dialog->mailto, Qt::Key_Escape);
                break;
            case Leave::CloseBox:
                dialog->close();
                break;
            }
        });
        form->findChild<QAction*>("Setup2")->trigger();
    };
    for (Leave leave : {Leave::CancelButton, Leave::Escape, Leave::CloseBox}) {
        setup(leave);
        EXPECT_EQ(store->Settings().mailto, "hostmaster@internic.net") << int(leave);
        EXPECT_EQ(store->Settings().server, "old.example") << int(leave);
        EXPECT_EQ(store->Settings().name, "") << int(leave);
        EXPECT_EQ(ReadAll(settings), "[Setup]\r\nServer=old.example\r\n") << int(leave);
    }

    setup(Leave::OkButton);
    EXPECT_EQ(store->Settings().server, "new.example");
    EXPECT_EQ(store->Settings().name, QString(255, 'n'));
    EXPECT_EQ(store->Settings().mailto, "typo@exmaple.net");
    EXPECT_EQ(form->msSMTP1->Server(), "new.example") << "the mail client follows the settings";
    const QByteArray written =
        "[Setup]\r\nServer=new.example\r\nEMail Address=\r\nName=" + QByteArray(255, 'n') +
        "\r\nMailto=typo@exmaple.net\r\n";
    // On disk before the window closes: a kill now loses nothing.
    EXPECT_EQ(ReadAll(settings), written);
    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ(ReadAll(settings), written);
    EXPECT_TRUE(boxes->shown().empty());
}

TEST_F(StoreWindow, SettingsThatCannotBeWrittenAreToldAndTheWindowClosesAllTheSame) {
    // A real error box, answered with OK by the user; the settings file is a folder, which no one
    // can write, root included.
    SetBoxes(std::make_shared<QtMessageBoxes>());
    Start();
    ASSERT_TRUE(QDir().mkdir(settings));
    bool closed = false;
    QObject::connect(form.get(), &TForm1::Closed, [&] { closed = true; });
    QString told;
    WhenModal::Next<QMessageBox>([&](QMessageBox& box) {
        told = box.text();
        QTest::mouseClick(box.button(QMessageBox::Ok), Qt::LeftButton);
    });
    ChooseMenuItem(*form, "Setup1", "Exit1");
    ASSERT_TRUE(WaitUntil([&] { return closed; }, 15000));
    EXPECT_EQ(told, "Unable to write to " + settings + ".");
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(QDir().rmdir(settings));
    SetBoxes(boxes);
}
