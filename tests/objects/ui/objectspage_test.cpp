// The Database Objects page driven as a user drives it: a reverse-DNS domain object typed into the
// attribute table, checked as it is typed, its name servers (NSD on loopback) checked and the
// message signed with a real GnuPG key and mailed to a real SMTP server (aiosmtpd); a message that
// the check refuses is not mailed; a maintainer's hash is made with Make... and the password
// goes in the message and nowhere else;
// Fetch fills the editor from a WHOIS server and stops when asked; the table reads as a table.
#include "app/ui/statusline.h"
#include "editing/ui/cryptdlg.h"
#include "mail/submission_server.h"
#include "objects/rpslobject.h"
#include "objects/ui/attributetable.h"
#include "objects/ui/keyimportdlg.h"
#include "objects/ui/messageview.h"
#include "objects/ui/objectspage.h"
#include "openpgp/ui/signingkeygroup.h"
#include "platform/wait.h"
#include "support/gnupghome.h"
#include "support/loopbackpeer.h"
#include "support/reverselab.h"
#include "support/testnsd.h"
#include "support/ui/formdriver.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const QString kZone = ReverseLab::Zone;

QByteArray SetupSection(const QString& server, const QString& signingKey) {
    return "[Setup]\r\nServer=" + server.toUtf8() +
           "\r\nEMail Address=jane@example.test\r\nName=Jane Registrant\r\nOpenPGP Key=" +
           signingKey.toUtf8() + "\r\n";
}

// The page of a driven window, its tab clicked.
TObjectsPage& OpenPage(FormDriver& d) {
    d.ClickTab("PageControl1", "Database Objects");
    return *d.form().findChild<TObjectsPage*>("ObjectsPage");
}

int RowOf(TAttributeTable& table, const QString& name, int from = 0) {
    for (int row = from; row < table.rowCount(); ++row)
        if (table.NameAt(row) == name) return row;
    return -1;
}

// Double-clicks the value cell of `row`, types `text` over what it held and leaves it with Tab.
void TypeValue(TAttributeTable& table, int row, const QString& text) {
    const QRect cell = table.visualRect(table.model()->index(row, 1));
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, cell.center());
    QWidget* editor = QApplication::focusWidget();
    ASSERT_TRUE(qobject_cast<QPlainTextEdit*>(editor)) << "no value editor";
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    // Enter starts a continuation line.
    const QStringList lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) QTest::keyClick(editor, Qt::Key_Return);
        TypeText(editor, lines[i]);
    }
    QTest::keyClick(editor, Qt::Key_Tab);
    // Tab opens the next cell's editor; Escape leaves it as it was.
    if (QWidget* next = QApplication::focusWidget(); next && next != &table)
        QTest::keyClick(next, Qt::Key_Escape);
}

void AddAttribute(FormDriver& d, TObjectsPage& page, const QString& name) {
    PickFromList(*page.AddAttributeBox, name);
    d.Click("ObjectAddButton");
}

QStringList CheckLines(const TObjectsPage& page) {
    QStringList lines;
    for (int i = 0; i < page.CheckList->count(); ++i)
        lines << page.CheckList->item(i)->text();
    return lines;
}

QStringList ErrorLinesAbout(const TObjectsPage& page, const QString& attribute) {
    return CheckLines(page).filter(QRegularExpression("^error +" + attribute + ": "));
}

// The domain typed in: its key in the key box, its contacts, maintainer and name servers in the
// table (the second server added below the first).
void FillDomain(FormDriver& d, TObjectsPage& page, const QString& firstServer,
                const QString& secondServer) {
    d.Type("ObjectKeyBox", kZone);
    for (const char* contact : {"admin-c", "tech-c", "zone-c"})
        TypeValue(*page.Attributes, RowOf(*page.Attributes, contact), "JR1-TEST");
    TypeValue(*page.Attributes, RowOf(*page.Attributes, "mnt-by"), "JANE-MNT");
    TypeValue(*page.Attributes, RowOf(*page.Attributes, "nserver"), firstServer);
    AddAttribute(d, page, "nserver");
    const int second = RowOf(*page.Attributes, "nserver", RowOf(*page.Attributes, "nserver") + 1);
    ASSERT_GT(second, 0);
    TypeValue(*page.Attributes, second, secondServer);
}

class ObjectsPageMail : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        lab = new ReverseLab(64);
        home = &lab->Home();
        fingerprint = lab->Fingerprint();
    }
    static void TearDownTestSuite() {
        delete lab;
        lab = nullptr;
        home = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(home->Ready());
        ASSERT_EQ(fingerprint.size(), 40) << "gpg made no key";
        ASSERT_NE(smtp.Port(), 0);
    }

    static ReverseLab* lab;
    static TestGnupgHome* home;
    static QString fingerprint;
    LocalSmtpServer smtp;
};
ReverseLab* ObjectsPageMail::lab = nullptr;
TestGnupgHome* ObjectsPageMail::home = nullptr;
QString ObjectsPageMail::fingerprint;

// The tests whose domain's name servers are checked: they need the servers on port 53.
class ObjectsPageLab : public ObjectsPageMail {
protected:
    void SetUp() override {
        if (!lab->HasServers()) GTEST_SKIP() << "the name servers need port 53 (root)";
        ObjectsPageMail::SetUp();
        const Done ready = lab->Ready();
        ASSERT_TRUE(ready) << ready.Error().toStdString();
    }
};
} // namespace

TEST_F(ObjectsPageLab, ADomainTypedInIsCheckedAsTypedThenMailedSignedAndKept) {
    SettingsFileForTest settings(SetupSection(smtp.Address(), fingerprint));
    FormDriver d;
    TObjectsPage& page = OpenPage(d);
    d.Pick("ObjectRegistryBox", "RIPE TEST");
    EXPECT_EQ(page.ClassBox->currentText(), "domain");

    // A server inside the zone without its address: the check names the glue rule at once.
    FillDomain(d, page, "ns1." + kZone, "ns2." + kZone + " 127.0.65.1");
    EXPECT_EQ(ErrorLinesAbout(page, "nserver").size(), 1)
        << CheckLines(page).join('\n').toStdString();
    TypeValue(*page.Attributes, RowOf(*page.Attributes, "nserver"), "ns1." + kZone + " 127.0.64.1");
    ASSERT_EQ(CheckLines(page).size(), 1);
    EXPECT_TRUE(CheckLines(page)[0].startsWith("ok      domain " + kZone))
        << CheckLines(page)[0].toStdString();
    // The key box typed the object's name; the text beside the table is the object as mailed.
    const RpslObject typed = page.Attributes->Object();
    EXPECT_EQ(typed.First("domain"), kZone);
    EXPECT_EQ(typed.First("source"), "TEST");
    EXPECT_EQ(typed.All("nserver").size(), 2u);
    const QString shownText = page.ObjectText->toPlainText();
    EXPECT_TRUE(shownText.startsWith("domain:         " + kZone + "\n")) << shownText.toStdString();

    // While the message goes out, neither Mail nor Add to Message can change it.
    QList<bool> enabledWhileSending;
    QObject::connect(page.Status, &TStatusLine::textChanged, &page, [&](const QString& text) {
        if (text == "Sending message")
            enabledWhileSending << page.MailButton->isEnabled()
                                << page.AddToMessageButton->isEnabled();
    });
    d.boxes().AnswerNext(true);
    d.Click("ObjectMailButton");

    EXPECT_TRUE(d.boxes().Texts("error").isEmpty())
        << d.boxes().Texts("error").join('\n').toStdString();
    EXPECT_EQ(d.boxes().Texts("warning"), QStringList{"Mail 1 object to test-dbm@ripe.net?"});
    EXPECT_EQ(enabledWhileSending, (QList<bool>{false, false}));
    // The name servers' own lines stand under the object's.
    EXPECT_TRUE(CheckLines(page).contains("domain " + kZone + ": its name servers"))
        << CheckLines(page).join('\n').toStdString();
    const std::vector<ReceivedMessage> received = smtp.Messages();
    ASSERT_EQ(received.size(), 1u);
    const ReceivedMessage& message = received.front();
    EXPECT_EQ(message.to, QStringList{"test-dbm@ripe.net"});
    EXPECT_EQ(message.from, "jane@example.test");
    EXPECT_EQ(message.subject, "Create domain " + kZone);

    // The robot reads the raw body: the signature is good, and what it signs is the shown text.
    const QByteArray raw = message.rawBytes;
    const QByteArray body = raw.mid(raw.indexOf("\r\n\r\n") + 4);
    QTemporaryDir scratch;
    WriteAll(scratch.filePath("body.asc"), body);
    const QString verified = home->Gpg({"--verify", scratch.filePath("body.asc")});
    EXPECT_TRUE(verified.contains("Good signature from \"Jane Registrant <jane@example.test>\""))
        << verified.toStdString();
    const qsizetype from = body.indexOf("\r\n\r\n") + 4;
    const qsizetype to = body.indexOf("\r\n-----BEGIN PGP SIGNATURE-----");
    ASSERT_TRUE(from > 4 && to > from) << body.toStdString();
    EXPECT_EQ(QString::fromUtf8(body.mid(from, to - from)).replace("\r\n", "\n"), shownText);

    // Kept: the record, the name list (and the key box's list), the copy in sent/.
    const QByteArray record = ReadAll("objects/domain/" + kZone + ".txt");
    ASSERT_FALSE(record.isEmpty());
    EXPECT_EQ(ParseObjects(QString::fromUtf8(record)).front(), typed);
    EXPECT_EQ(ReadAll("objects/domain.cbx"), kZone.toUtf8() + "\r\n");
    EXPECT_EQ(page.KeyBox->findText(kZone), 0);
    EXPECT_EQ(QDir("sent").entryList({"*-object-domain-" + kZone + ".eml"}).size(), 1);
    EXPECT_EQ(page.Status->text(), "Sent to test-dbm@ripe.net: Create domain " + kZone);
    EXPECT_TRUE(page.MailButton->isEnabled());

    // The kept record comes back when its key is typed again.
    d.Pick("ObjectClassBox", "person");
    d.Pick("ObjectClassBox", "domain");
    EXPECT_NE(page.Attributes->Object(), typed);
    d.Type("ObjectKeyBox", kZone);
    EXPECT_EQ(page.Attributes->Object(), typed);
}

TEST_F(ObjectsPageMail, AnErrorStopsTheMailAndIsListedNothingKept) {
    SettingsFileForTest settings(SetupSection(smtp.Address(), fingerprint));
    FormDriver d;
    TObjectsPage& page = OpenPage(d);
    // A glue address for a server outside the zone is refused.
    FillDomain(d, page, "ns1.example.net 192.0.2.53", "ns2.example.net");
    ASSERT_EQ(ErrorLinesAbout(page, "nserver").size(), 1)
        << CheckLines(page).join('\n').toStdString();

    d.Click("ObjectMailButton");

    const QStringList errors = d.boxes().Texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Nothing was mailed: the check found 1 error."))
        << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(ErrorLinesAbout(page, "nserver").value(0)))
        << errors[0].toStdString();
    EXPECT_TRUE(d.boxes().Texts("warning").isEmpty());
    EXPECT_TRUE(smtp.Messages().empty());
    EXPECT_FALSE(QDir("objects").exists());
    EXPECT_FALSE(QDir("sent").exists());
    EXPECT_TRUE(page.MailButton->isEnabled());
}

TEST_F(ObjectsPageLab, ADomainWithALameServerIsNotMailedNorKept) {
    SettingsFileForTest settings(SetupSection(smtp.Address(), fingerprint));
    FormDriver d;
    TObjectsPage& page = OpenPage(d);
    d.Pick("ObjectRegistryBox", "RIPE TEST");
    FillDomain(d, page, "ns1." + kZone + " 127.0.64.1", "ns3." + kZone + " 127.0.66.1");
    ASSERT_TRUE(ErrorLinesAbout(page, "[a-z-]+").isEmpty())
        << CheckLines(page).join('\n').toStdString();

    d.Click("ObjectMailButton");

    // The name servers' errors are listed under the object's lines and in the box; nothing went.
    const QStringList errors = d.boxes().Texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Nothing was mailed: the name servers of domain " + kZone))
        << errors[0].toStdString();
    const QStringList listed = CheckLines(page).filter(QRegularExpression("^error "));
    ASSERT_FALSE(listed.isEmpty()) << CheckLines(page).join('\n').toStdString();
    EXPECT_TRUE(errors[0].contains(listed[0])) << errors[0].toStdString();
    EXPECT_TRUE(d.boxes().Texts("warning").isEmpty());
    EXPECT_TRUE(smtp.Messages().empty());
    EXPECT_FALSE(QDir("objects").exists());
    EXPECT_FALSE(QDir("sent").exists());
}

TEST_F(ObjectsPageMail, AHashMadeWithMakeAndItsPasswordGoInTheMessageOnlyAndTheRegistryIsKept) {
    const QString password = "Wh1te-Rabbit-7";
    ScopedWorkDir dir;
    SettingsFileForTest settings(SetupSection(smtp.Address(), QString()));
    {
        FormDriver d(FormDriver::InCurrentFolder);
        TObjectsPage& page = OpenPage(d);
        d.Pick("ObjectRegistryBox", "RADb");
        d.Pick("ObjectClassBox", "mntner");
        TAttributeTable& table = *page.Attributes;
        const std::pair<const char*, const char*> values[] = {{"mntner", "JANE-MNT"},
                                                              {"admin-c", "JR1-RADB"},
                                                              {"upd-to", "jane@example.test"},
                                                              {"mnt-by", "JANE-MNT"}};
        for (auto [name, value] : values)
            TypeValue(table, RowOf(table, name), value);
        // Make... beside auth: the crypt dialog, bcrypt first as RADb takes it.
        QTest::mouseClick(table.viewport(), Qt::LeftButton, {},
                          table.visualRect(table.model()->index(RowOf(table, "auth"), 0)).center());
        WhenModal::Next<TCryptDlg>([&](TCryptDlg& dialog) {
            EXPECT_EQ(dialog.Method(), CryptMethod::Bcrypt);
            for (QLineEdit* edit : {dialog.PasswordEdit, dialog.RepeatEdit}) {
                QTest::mouseClick(edit, Qt::LeftButton);
                TypeText(edit, password);
            }
            QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
        });
        d.Click("ObjectMakeButton");
        const QString auth = table.item(RowOf(table, "auth"), 1)->text();
        ASSERT_TRUE(auth.startsWith("BCRYPT-PW $2b$")) << auth.toStdString();
        // Python's crypt (the system's) finds the password in the hash.
        const QString hash = auth.mid(10);
        QProcess python;
        python.start(
            "/usr/bin/python3",
            {"-W", "ignore", "-c",
             "import crypt,sys; print(crypt.crypt(sys.argv[1], sys.argv[2]) == sys.argv[2])",
             password, hash});
        ASSERT_TRUE(python.waitForFinished(30000));
        EXPECT_EQ(python.readAllStandardOutput().trimmed(), "True");
        ASSERT_TRUE(ErrorLinesAbout(page, "[a-z-]+").isEmpty())
            << CheckLines(page).join('\n').toStdString();

        // No signing key in Setup: the maintainer's password is asked for, hidden.
        WhenModal::Next<QInputDialog>([&](QInputDialog& dialog) {
            auto* edit = dialog.findChild<QLineEdit*>();
            ASSERT_TRUE(edit);
            EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
            TypeText(edit, password);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        d.boxes().AnswerNext(true);
        d.Click("ObjectMailButton");
        EXPECT_TRUE(d.boxes().Texts("error").isEmpty())
            << d.boxes().Texts("error").join('\n').toStdString();
        const std::vector<ReceivedMessage> received = smtp.Messages();
        ASSERT_EQ(received.size(), 1u);
        EXPECT_EQ(received[0].to, QStringList{"auto-dbm@radb.net"});
        ASSERT_GE(received[0].bodyLines.size(), 3);
        EXPECT_EQ(received[0].bodyLines.mid(0, 3),
                  (QStringList{"password: " + password, "", "mntner:         JANE-MNT"}));
        EXPECT_TRUE(received[0].bodyLines.contains("auth:           " + auth));
        d.form().close();
    }
    // The window closed: the registry chosen is in the settings file, the password nowhere.
    EXPECT_TRUE(ReadAll(ProgramSettings::Path()).contains("[Objects]\r\nRegistry=radb\r\n"));
    EXPECT_EQ(FilesAndSettingsHolding(dir.path(), password.toUtf8()), QStringList());
    EXPECT_EQ(FilesHolding(dir.file("sent"), "password: (not kept)").size(), 1);
    EXPECT_EQ(FilesHolding(dir.file("objects"), "BCRYPT-PW $2b$").size(), 1);
}

TEST_F(ObjectsPageMail, ImportKeyFillsAKeyCertFromTheKeyring) {
    SettingsFileForTest settings(SetupSection(smtp.Address(), QString()));
    FormDriver d;
    TObjectsPage& page = OpenPage(d);
    d.Pick("ObjectClassBox", "key-cert");
    WhenModal::Next<TKeyImportDlg>([&](TKeyImportDlg& dialog) {
        const int index = dialog.Keys->SigningKeyBox->findData(fingerprint);
        ASSERT_GT(index, 0);
        PickFromList(*dialog.Keys->SigningKeyBox, dialog.Keys->SigningKeyBox->itemText(index));
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        ASSERT_TRUE(buttons);
        QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    d.Click("ObjectImportKeyButton");

    const RpslObject object = page.Attributes->Object();
    EXPECT_EQ(object.First("key-cert"), "PGPKEY-" + fingerprint.right(8));
    const auto certif = object.All("certif");
    ASSERT_GT(certif.size(), 3u);
    EXPECT_EQ(certif.front()->value, "-----BEGIN PGP PUBLIC KEY BLOCK-----");
    EXPECT_EQ(certif.back()->value, "-----END PGP PUBLIC KEY BLOCK-----");
    // The rest of the template stays, and the check finds the key and its name fitting.
    EXPECT_TRUE(object.Has("mnt-by"));
    EXPECT_TRUE(ErrorLinesAbout(page, "(key-cert|certif)").isEmpty())
        << CheckLines(page).join('\n').toStdString();
}

TEST(ObjectsPage, FetchFillsTheEditorFromTheWhoisServerAndStopsWhenAsked) {
    QFile answer(TESTS_SOURCE_DIR "/samples/rpsl/answers/ripe-mntner-AS760-MNT.txt");
    ASSERT_TRUE(answer.open(QIODevice::ReadOnly));
    ScriptedPeer peer({ReadQuery(), Send(answer.readAll())});
    ScriptedPeer slow({ReadQuery(), Pause(1500), Send("mntner: LATE-MNT\n")});
    SettingsFileForTest settings(
        "[Objects]\r\nWhoisServer=127.0.0.1:" + QByteArray::number(peer.port()) + "\r\n");
    FormDriver d;
    TObjectsPage& page = OpenPage(d);
    d.Pick("ObjectClassBox", "mntner");
    d.Type("ObjectKeyBox", "AS760-MNT");
    d.Click("ObjectFetchButton");
    ASSERT_TRUE(WaitUntil([&] { return page.FetchButton->text() == "F&etch"; }, 15000));

    EXPECT_EQ(peer.Queries(), QList<QByteArray>{"-r -B -G -T mntner AS760-MNT\r\n"});
    EXPECT_EQ(page.Status->text(), "Fetched mntner AS760-MNT.");
    TAttributeTable& table = *page.Attributes;
    ASSERT_EQ(table.rowCount(), 11);
    EXPECT_EQ(table.item(0, 0)->text(), "mntner");
    EXPECT_EQ(table.item(0, 1)->text(), "AS760-MNT");
    EXPECT_EQ(table.item(2, 1)->text(), "SSO # Filtered");
    EXPECT_EQ(table.item(10, 0)->text(), "remarks");
    EXPECT_EQ(table.item(10, 1)->text(), "****************************");
    // What the database holds exists: the page now modifies it.
    EXPECT_TRUE(page.ModifyRadio->isChecked());

    // A fetch that is stopped leaves the editor as it was.
    WriteAll(ProgramSettings::Path(),
             "[Objects]\r\nWhoisServer=127.0.0.1:" + QByteArray::number(slow.port()) + "\r\n");
    d.Click("ObjectFetchButton");
    ASSERT_TRUE(WaitUntil([&] { return slow.Queries().size() == 1; }, 5000));
    EXPECT_EQ(page.FetchButton->text(), "Stop F&etch");
    d.Click("ObjectFetchButton");
    ProcessPendingEvents();
    EXPECT_EQ(page.Status->text(), "Fetch stopped.");
    EXPECT_EQ(page.FetchButton->text(), "F&etch");
    EXPECT_EQ(table.item(0, 1)->text(), "AS760-MNT");
}

TEST(ObjectsPage, AddToMessageCollectsObjectsShownAsOneMessageAndDeleteTakesOneOut) {
    FormDriver d;
    TObjectsPage& page = OpenPage(d);
    d.Pick("ObjectClassBox", "person");
    const std::pair<const char*, const char*> person[] = {{"person", "Jane Registrant"},
                                                          {"address", "1 Example Street"},
                                                          {"phone", "+31 20 535 4444"},
                                                          {"nic-hdl", "AUTO-1"},
                                                          {"mnt-by", "JANE-MNT"}};
    for (auto [name, value] : person)
        TypeValue(*page.Attributes, RowOf(*page.Attributes, name), value);
    d.Click("ObjectAddToMessageButton");
    d.Pick("ObjectClassBox", "domain");
    FillDomain(d, page, "ns1.example.net", "ns2.example.net");
    d.Click("ObjectAddToMessageButton");
    ASSERT_EQ(page.MessageList->count(), 2);
    EXPECT_EQ(page.MessageList->item(0)->text(), "Create person AUTO-1");
    EXPECT_EQ(page.MessageList->item(1)->text(), "Create domain " + kZone);

    QString shown;
    WhenModal::Next<TMessageView>([&](TMessageView& view) {
        shown = view.Text->toPlainText();
        view.reject();
    });
    d.Click("ObjectShowMessageButton");
    const QStringList lines = shown.split('\n');
    ASSERT_GT(lines.size(), 4) << shown.toStdString();
    EXPECT_EQ(lines.mid(0, 4), (QStringList{"To: auto-dbm@ripe.net",
                                            "Subject: Create person AUTO-1 and 1 more object", "",
                                            "person:         Jane Registrant"}));
    // One truly empty line between the two objects, and no other.
    EXPECT_EQ(lines.mid(3).count(QString()), 1) << shown.toStdString();
    EXPECT_TRUE(shown.contains("\nsource:         RIPE\n\ndomain:         " + kZone + "\n"))
        << shown.toStdString();

    // A deletion asks for its reason, which goes as its last line.
    ClickIndicator(*page.DeleteRadio);
    WhenModal::Next<QInputDialog>([](QInputDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>();
        ASSERT_TRUE(edit);
        TypeText(edit, "no longer used");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    d.Click("ObjectAddToMessageButton");
    ASSERT_EQ(page.MessageList->count(), 3);
    EXPECT_EQ(page.MessageList->item(2)->text(), "Delete domain " + kZone);
    EXPECT_EQ(page.Message().back().deleteReason, "no longer used");

    QTest::mouseClick(page.MessageList->viewport(), Qt::LeftButton, {},
                      page.MessageList->visualItemRect(page.MessageList->item(0)).center());
    QTest::keyClick(page.MessageList, Qt::Key_Delete);
    ASSERT_EQ(page.MessageList->count(), 2);
    ASSERT_EQ(page.Message().size(), 2u);
    EXPECT_EQ(page.Message().front().object.ClassName(), "domain");
    EXPECT_EQ(page.Message().front().action, ObjectAction::Create);

    // A double click takes the deletion back into the editor, as it was.
    const RpslObject deleted = page.Message().back().object;
    d.Pick("ObjectClassBox", "person");
    const QPoint second = page.MessageList->visualItemRect(page.MessageList->item(1)).center();
    QTest::mouseClick(page.MessageList->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(page.MessageList->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(page.MessageList->count(), 1);
    EXPECT_EQ(page.ClassBox->currentText(), "domain");
    EXPECT_TRUE(page.DeleteRadio->isChecked());
    EXPECT_EQ(page.Attributes->Object(), deleted);
}

TEST(ObjectsPage, TheAttributeTableReadsAsATableOfRowsAndCells) {
    FormDriver d;
    TObjectsPage& page = OpenPage(d);
    d.Pick("ObjectClassBox", "route");
    TAttributeTable& table = *page.Attributes;
    TypeValue(table, 0, "192.0.2.0/24");
    AddAttribute(d, page, "descr");
    TypeValue(table, RowOf(table, "descr"), "Jane's\nnetwork");

    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&table);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->role(), QAccessible::Table);
    EXPECT_EQ(a->text(QAccessible::Name), "Attributes");
    QAccessibleTableInterface* t = a->tableInterface();
    ASSERT_TRUE(t);
    ASSERT_EQ(t->columnCount(), 2);
    ASSERT_EQ(t->rowCount(), table.rowCount());
    EXPECT_EQ(t->columnDescription(0), "Attribute");
    EXPECT_EQ(t->columnDescription(1), "Value");
    const RpslObject object = table.Object();
    ASSERT_EQ(size_t(t->rowCount()), object.attributes.size());
    for (int row = 0; row < t->rowCount(); ++row) {
        const RpslAttribute& attribute = object.attributes[size_t(row)];
        EXPECT_EQ(t->cellAt(row, 0)->text(QAccessible::Name), attribute.name) << row;
        EXPECT_EQ(t->cellAt(row, 1)->text(QAccessible::Name), attribute.value) << row;
    }
    // The first attribute is the class's and mandatory; descr is optional and its second line a
    // continuation line of the same attribute, in template order after route.
    EXPECT_EQ(t->cellAt(0, 0)->text(QAccessible::Description), "mandatory");
    const int descr = RowOf(table, "descr");
    EXPECT_EQ(descr, 1);
    EXPECT_EQ(t->cellAt(descr, 0)->text(QAccessible::Description), "optional");
    EXPECT_EQ(t->cellAt(descr, 1)->text(QAccessible::Name), "Jane's\nnetwork");
    EXPECT_TRUE(page.ObjectText->toPlainText().contains("descr:          Jane's\n"
                                                        "                network\n"));

    // Moving and removing rows, as the buttons do, changes what is read.
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {},
                      table.visualRect(table.model()->index(descr, 0)).center());
    d.Click("ObjectDownButton");
    EXPECT_EQ(t->cellAt(descr + 1, 0)->text(QAccessible::Name), "descr");
    d.Click("ObjectRemoveButton");
    EXPECT_EQ(RowOf(table, "descr"), -1);
    EXPECT_EQ(t->rowCount(), int(object.attributes.size()) - 1);
}
