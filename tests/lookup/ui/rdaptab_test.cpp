// The WhoIs page's additions as the user meets them: the RDAP button against a local HTTPS
// server, a second press while the first look-up waits, and "Follow referrals" kept across a
// restart and followed by LookUp.
#include "lookup/ui/answermemo.h"
#include "lookup/ui/whoistab.h"
#include "platform/wait.h"
#include "support/loopbackpeer.h"
#include "support/rdapserver.h"
#include "support/testcerts.h"
#include "support/ui/formdriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {
class RdapTab : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(certs.Made()) << certs.Problem().toStdString();
        server = std::make_unique<LocalRdapServer>(certs.Cert("server"), certs.Key("server"),
                                                   QStringList{"EXPIRED=1"});
        ASSERT_NE(server->Port(), 0);
        qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    }
    void TearDown() override { qunsetenv("XDG_CACHE_HOME"); }

    WhoisTab& Tab(FormDriver& d) {
        auto* tab = d.form().findChild<WhoisTab*>();
        tab->rdap.Bootstrap = server->Bootstrap();
        return *tab;
    }
    // Replaces the Server box's text as the user does: select all, then type.
    static void TypeServer(FormDriver& d, const QString& server) {
        d.ClickInto("cbWhoisServer");
        QTest::keyClick(d.form().Control<QComboBox>("cbWhoisServer")->lineEdit(), Qt::Key_A,
                        Qt::ControlModifier);
        d.Type("cbWhoisServer", server);
    }
    static QString Memo(FormDriver& d) {
        ProcessPendingEvents();
        return d.form().Control<TAnswerMemo>("mResponse")->toPlainText();
    }

    // Acts on the RDAP button's menu once it is open: the menu runs a loop of its own while it
    // is, so the act is set up before the click that opens it.
    static void WhenMenuOpens(std::function<void(QMenu&)> act) {
        auto* poll = new QTimer(qApp);
        auto clock = std::make_shared<QElapsedTimer>();
        clock->start();
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, [poll, clock, act] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            const bool open = menu && menu->isVisible();
            if (!open && clock->elapsed() < 5000) return;
            poll->stop();
            poll->deleteLater();
            if (open) act(*menu);
        });
        poll->start();
    }

    TestCertificates certs;
    TrustTestAuthority trust{certs.Authority()};
    QTemporaryDir cache;
    std::unique_ptr<LocalRdapServer> server;
};
} // namespace

TEST_F(RdapTab, TheRdapButtonShowsTheRegistryAndRegistrarAnswers) {
    FormDriver d;
    WhoisTab& tab = Tab(d);
    d.Type("tDomain", "example.com");
    d.Click("bRdap");
    ASSERT_TRUE(WaitUntil([&] { return !tab.rdap.Active(); }, 20000));
    const QStringList lines = Memo(d).split('\n');
    EXPECT_EQ(lines.front(), "Looking up example.com with RDAP...");
    EXPECT_TRUE(lines.contains("Domain Name: EXAMPLE.COM"));
    EXPECT_TRUE(lines.contains("Registrar IANA ID: 376"));
    EXPECT_TRUE(lines.contains("Technical E-Mail: jane@example.com"));
    EXPECT_TRUE(tab.rdap.Answered());
    EXPECT_TRUE(d.boxes().shown().empty());
}

TEST_F(RdapTab, PressingRdapAgainAbandonsTheLookUpThatWaits) {
    FormDriver d;
    WhoisTab& tab = Tab(d);
    d.Type("tDomain", "wait.slow");
    d.Click("bRdap");
    ASSERT_TRUE(WaitUntil([&] { return Memo(d).contains("/slow/domain/wait.slow"); }, 10000));
    // The window goes on working while the look-up waits.
    QLineEdit* field = d.form().Control<QLineEdit>("tDomain");
    field->clear();
    d.Type("tDomain", "192.0.2.1");
    EXPECT_EQ(field->text(), "192.0.2.1");
    d.Click("bRdap");
    ASSERT_TRUE(WaitUntil([&] { return !tab.rdap.Active(); }, 10000));
    const QString shown = Memo(d);
    EXPECT_TRUE(shown.startsWith("Looking up 192.0.2.1 with RDAP..."));
    EXPECT_TRUE(shown.contains("Network: 192.0.2.0 - 192.0.2.255"));
    EXPECT_FALSE(shown.contains("wait.slow"));
    EXPECT_FALSE(shown.contains("did not answer"));
}

TEST_F(RdapTab, FollowReferralsIsKeptAcrossARestartAndFollowedByLookUp) {
    auto registrarSocket = ScriptedPeer::Listener::OnWhoisPort();
    ASSERT_GE(registrarSocket.fd, 0);
    const QString registrarHost = registrarSocket.host;
    ScriptedPeer registry(
        {ReadQuery(), Send("Registrar WHOIS Server: " + registrarHost.toUtf8() + "\r\n")});
    ScriptedPeer registrar(registrarSocket, {ReadQuery(), Send("Registrant Name: Jane Roe\r\n")});
    {
        FormDriver d;
        auto* follow = d.form().Control<QCheckBox>("cbFollow");
        EXPECT_FALSE(follow->isChecked());
        d.ClickTab("PageControl1", "WhoIs");
        ClickIndicator(*follow);
        EXPECT_TRUE(follow->isChecked());
        WhoisTab& tab = Tab(d);
        const QString server = "127.0.0.1:" + QString::number(registry.port());
        TypeServer(d, server);
        d.Type("tDomain", "example.com");
        d.Click("bLookUp");
        ASSERT_TRUE(WaitUntil([&] { return !tab.lookup.Active(); }, 10000));
        EXPECT_TRUE(Memo(d).endsWith("Following referral to " + registrarHost +
                                     " ...\nRegistrant Name: Jane Roe"))
            << Memo(d).toStdString();
        ASSERT_TRUE(d.form().FormClose());
        EXPECT_TRUE(ReadAll(ProgramSettings::Path())
                        .contains("[Lookup]\r\nFollowReferrals=1\r\nWhoisServer=" +
                                  server.toUtf8() + "\r\n"));

        SettingsFileForTest keep(ReadAll(ProgramSettings::Path()));
        FormDriver again;
        EXPECT_TRUE(again.form().Control<QCheckBox>("cbFollow")->isChecked());
        auto* box = again.form().Control<QComboBox>("cbWhoisServer");
        EXPECT_EQ(box->currentText(), server);
        // Picked from the list, the second server is remembered the same way.
        again.form().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&again.form()));
        again.Pick("cbWhoisServer", "whois.iana.org");
        EXPECT_EQ(box->currentText(), "whois.iana.org");
        ASSERT_TRUE(again.form().FormClose());
        EXPECT_TRUE(ReadAll(ProgramSettings::Path()).contains("WhoisServer=whois.iana.org\r\n"));
    }
    // Never touched, the settings file stays without the section.
    FormDriver untouched;
    auto* box = untouched.form().Control<QComboBox>("cbWhoisServer");
    EXPECT_EQ(box->currentText(), "whois.internic.net");
    EXPECT_EQ(box->count(), 2);
    EXPECT_EQ(box->itemText(1), "whois.iana.org");
    ASSERT_TRUE(untouched.form().FormClose());
    EXPECT_FALSE(ReadAll(ProgramSettings::Path()).contains("Lookup"));
}

TEST_F(RdapTab, AServerWithABadPortIsToldAndNothingIsAsked) {
    FormDriver d;
    WhoisTab& tab = Tab(d);
    TypeServer(d, "whois.example.net:0");
    d.Type("tDomain", "example.com");
    d.Click("bLookUp");
    EXPECT_EQ(d.boxes().Texts("error"),
              QStringList{"The WHOIS server \"whois.example.net:0\" needs a port number from 1 "
                          "to 65535 after its colon."});
    EXPECT_FALSE(tab.lookup.Active());
    EXPECT_EQ(Memo(d), "");
}

TEST_F(RdapTab, ANameUts46RefusesIsAskedNeitherByLookUpNorByRdapAndTheMemoSaysWhy) {
    ScriptedPeer whois({ReadQuery(), Send("answer\n")});
    FormDriver d;
    WhoisTab& tab = Tab(d);
    TypeServer(d, "127.0.0.1:" + QString::number(whois.port()));
    const QString name = QString("a\u200Db.example");
    const QString told =
        name + " is not a valid international name: string contains a forbidden context-j "
               "character.";
    d.Type("tDomain", name);
    d.Click("bLookUp");
    EXPECT_EQ(Memo(d), told);
    d.Click("bRdap");
    ASSERT_TRUE(WaitUntil([&] { return !tab.rdap.Active(); }, 5000));
    EXPECT_EQ(Memo(d).split('\n').last(), told);
    EXPECT_TRUE(whois.Queries().isEmpty());
    EXPECT_TRUE(server->Requests().isEmpty());
    EXPECT_TRUE(d.boxes().shown().empty());
}

TEST_F(RdapTab, TheRdapButtonsMenuAsksForAnEntityByMouseAndANameServerByKeyboard) {
    FormDriver d;
    WhoisTab& tab = Tab(d);
    d.form().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d.form()));
    d.ClickTab("PageControl1", "WhoIs");
    auto* button = d.form().Control<QToolButton>("bRdap");
    d.Type("tDomain", "JD1-TEST");
    // The arrow at the button's right edge opens the menu; a click on the item asks.
    WhenMenuOpens([](QMenu& menu) {
        QAction* entity = menu.findChild<QAction*>("miRdapEntity");
        ASSERT_TRUE(entity);
        const QPoint at = menu.actionGeometry(entity).center();
        QTest::mouseMove(&menu, at);
        QTest::mouseClick(&menu, Qt::LeftButton, {}, at);
    });
    QTest::mouseClick(button, Qt::LeftButton, {},
                      QPoint(button->width() - 4, button->height() / 2));
    ASSERT_TRUE(WaitUntil([&] { return !tab.rdap.Active(); }, 20000));
    QStringList lines = Memo(d).split('\n');
    EXPECT_EQ(lines.front(), "Looking up JD1-TEST with RDAP...");
    EXPECT_TRUE(lines.contains("Handle: JD1-TEST")) << Memo(d).toStdString();
    EXPECT_TRUE(lines.contains("Technical Fax: +1.5555550199"));
    EXPECT_TRUE(server->Requests().contains("/ent/entity/JD1-TEST"));

    // From the keyboard: Down on the button opens the menu, the item's letter chooses it.
    QLineEdit* field = d.form().Control<QLineEdit>("tDomain");
    field->clear();
    d.Type("tDomain", "ns1.example.com");
    button->setFocus();
    WhenMenuOpens([](QMenu& menu) { QTest::keyClick(&menu, Qt::Key_S); });
    QTest::keyClick(button, Qt::Key_Down);
    ASSERT_TRUE(WaitUntil([&] { return !tab.rdap.Active(); }, 20000));
    lines = Memo(d).split('\n');
    EXPECT_TRUE(lines.contains("Name Server: NS1.EXAMPLE.COM")) << Memo(d).toStdString();
    EXPECT_TRUE(lines.contains("IP Address: 192.0.2.53"));
    EXPECT_TRUE(server->Requests().contains("/com/nameserver/ns1.example.com"));
    // The button itself still asks for what the text shows itself to be.
    field->clear();
    d.Type("tDomain", "example.com");
    d.Click("bRdap");
    ASSERT_TRUE(WaitUntil([&] { return !tab.rdap.Active(); }, 20000));
    EXPECT_TRUE(Memo(d).split('\n').contains("Domain Name: EXAMPLE.COM"));
}
