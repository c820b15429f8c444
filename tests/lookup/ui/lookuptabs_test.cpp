// The WhoIs and Finger tabs of the main window against loopback servers.
#include "app/ui/form1.h"
#include "lookup/lcipport.h"
#include "lookup/ui/answerlist.h"
#include "lookup/ui/answermemo.h"
#include "lookup/ui/fingertab.h"
#include "lookup/ui/whoistab.h"
#include "platform/messageboxes.h"
#include "platform/wait.h"
#include "support/loopbackpeer.h"
#include "support/refusingport.h"
#include "support/tempdir.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
// Scripted boxes that also note what the answer showed when a warning box came up.
class SnapshotBoxes : public ScriptedBoxes {
public:
    std::function<QString()> snapshot;
    QStringList atWarning;
    void Warning(const QString& text) override {
        if (snapshot) atWarning << snapshot();
        ScriptedBoxes::Warning(text);
    }
};

class LookupTabs : public testing::Test {
protected:
    void SetUp() override {
        SetBoxes(boxes);
        form = std::make_unique<TForm1>();
        whois = form->findChild<WhoisTab*>();
        finger = form->findChild<FingerTab*>();
        ASSERT_TRUE(whois && finger);
        tDomain = form->Control<QLineEdit>("tDomain");
        bLookUp = form->Control<QPushButton>("bLookUp");
        mResponse = form->Control<TAnswerMemo>("mResponse");
        tHost = form->Control<QLineEdit>("tHost");
        fingerlookup = form->Control<QPushButton>("fingerlookup");
        lResponse = form->Control<TAnswerList>("lResponse");
        ASSERT_TRUE(tDomain && bLookUp && mResponse && tHost && fingerlookup && lResponse);
        server = form->Control<QComboBox>("cbWhoisServer");
        ASSERT_TRUE(server);
    }
    // Points the WhoIs tab's Server box at a loopback port, as a user types it.
    void PointWhoisAt(quint16 port) {
        server->setCurrentText("127.0.0.1:" + QString::number(port));
    }
    void TearDown() override { SetBoxes(std::make_shared<ScriptedBoxes>()); }

    // What the answer views show: lines are added in batches, once per pass of the event loop.
    QString Memo() const {
        ProcessPendingEvents();
        return mResponse->toPlainText();
    }
    QStringList Items() const {
        ProcessPendingEvents();
        QStringList items;
        for (qsizetype i = 0; i < lResponse->Count(); ++i)
            items << lResponse->LineText(i);
        return items;
    }
    // Waits until the look-up's connection has ended.
    bool AnswerComplete(TlcIPPort* port) {
        return WaitUntil([port] { return !port->Connected(); }, 10000);
    }

    ScopedWorkDir dir;
    std::shared_ptr<SnapshotBoxes> boxes = std::make_shared<SnapshotBoxes>();
    std::unique_ptr<TForm1> form;
    WhoisTab* whois = nullptr;
    FingerTab* finger = nullptr;
    QLineEdit* tDomain = nullptr;
    QPushButton* bLookUp = nullptr;
    TAnswerMemo* mResponse = nullptr;
    QLineEdit* tHost = nullptr;
    QPushButton* fingerlookup = nullptr;
    TAnswerList* lResponse = nullptr;
    QComboBox* server = nullptr;
};
} // namespace

TEST_F(LookupTabs, ThePagesCarryTheirControlsHintsAndTheRegistryServer) {
    TlcIPPort freshPort; // a look-up as the tab starts with it (the fixture points it here)
    WhoisLookup fresh(freshPort, *whois);
    EXPECT_EQ(fresh.Server, "whois.internic.net");
    EXPECT_EQ(fresh.Port, 43);
    EXPECT_EQ(bLookUp->text(), "LookUp");
    EXPECT_EQ(bLookUp->toolTip(),
              "Searches whois.internic.net for the name you entered to the left.");
    EXPECT_EQ(tDomain->toolTip(), "Enter a domain name, host or contact.");
    EXPECT_EQ(tHost->toolTip(), "Enter username@host to finger");
    EXPECT_EQ(fingerlookup->toolTip(), "Lookup host for username you are fingering.");
    EXPECT_EQ(lResponse->toolTip(), "Double click on a line for more information on user.");
    EXPECT_EQ(finger->lookup.Port, 79);
    // Stored not loaded; activating the window loads both.
    EXPECT_FALSE(form->IPPort1->WinsockLoaded());
    EXPECT_FALSE(form->IPPort2->WinsockLoaded());
    form->FormActivate();
    EXPECT_TRUE(form->IPPort1->WinsockLoaded());
    EXPECT_TRUE(form->IPPort2->WinsockLoaded());
}

TEST_F(LookupTabs, WhoisEnterSendsTheFieldAndShowsTheAnswer) {
    ScriptedPeer server({ReadQuery(), Send("Domain Name: EXAMPLE.COM\r\n"), Pause(100),
                         Send("Registrar: Test\n\nlast line")});
    PointWhoisAt(server.port());
    tDomain->setText(" example.com ");
    QTest::keyClick(tDomain, Qt::Key_Return);
    EXPECT_EQ(tDomain->text(), " example.com ");
    ASSERT_TRUE(AnswerComplete(form->IPPort1));
    EXPECT_EQ(server.Queries(), QList<QByteArray>{" example.com \r\n"});
    EXPECT_EQ(Memo(), "Connected. Waiting for data...\n\n"
                      "Domain Name: EXAMPLE.COM\nRegistrar: Test\n\nlast line");
    EXPECT_TRUE(boxes->shown().empty());
}

TEST_F(LookupTabs, WhoisWithAnEmptyFieldOnlyBeeps) {
    mResponse->AddText("earlier");
    bLookUp->click();
    EXPECT_EQ(boxes->Texts("beep").size(), 1);
    EXPECT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(Memo(), "earlier");
}

TEST_F(LookupTabs, ARefusedWhoisLookUpEndsAtOnceWithItsReasonAndNoLaterBox) {
    RefusingPort refusing;
    PointWhoisAt(refusing.port());
    mResponse->AddText("earlier answer");
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    tDomain->setFocus();
    QTest::keyClicks(tDomain, "example.com");
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(tDomain, Qt::Key_Return);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_FALSE(whois->lookup.Active());
    EXPECT_EQ(Memo(), "Connection failed: [10061] Connection refused.");
    // Longer than the 15-second wait for a connection: nothing comes back to empty the view.
    QTest::qWait(16000);
    EXPECT_TRUE(boxes->shown().empty());
    EXPECT_EQ(Memo(), "Connection failed: [10061] Connection refused.");
}

TEST_F(LookupTabs, AServerThatClosesWithoutAnAnswerEndsWithThatStatus) {
    ScriptedPeer whoisServer({ReadQuery()});
    PointWhoisAt(whoisServer.port());
    tDomain->setText("example.com");
    bLookUp->click();
    ASSERT_TRUE(AnswerComplete(form->IPPort1));
    EXPECT_EQ(Memo(), "Connected. Waiting for data...\n\nConnection closed; no answer.");

    // Closed without a word, the query taken but never read.
    ScriptedPeer closing({EndSending()}, 1);
    finger->lookup.Port = closing.port();
    tHost->setText("127.0.0.1");
    fingerlookup->click();
    ASSERT_TRUE(AnswerComplete(form->IPPort2));
    EXPECT_EQ(Items().last(), "Connection closed; no answer.");
    ASSERT_TRUE(AnswerComplete(form->IPPort2)) << Items().join("|").toStdString();

    // Closed with the query unread: the peer's system resets the connection, which is told as
    // the reset it is, once.
    ScriptedPeer unread({Pause(200)}, 1);
    finger->lookup.Port = unread.port();
    fingerlookup->click();
    ASSERT_TRUE(AnswerComplete(form->IPPort2)) << Items().join("|").toStdString();
    EXPECT_EQ(boxes->Texts("error"), QStringList{"IPPort error: 10054Winsock error in recv() "});
    EXPECT_NE(Items().last(), "Connection closed; no answer.");

    // An answer, however short, is no "no answer".
    ScriptedPeer terse({ReadQuery(), Send("x")});
    finger->lookup.Port = terse.port();
    fingerlookup->click();
    ASSERT_TRUE(AnswerComplete(form->IPPort2));
    EXPECT_EQ(Items().last(), "x");
}

TEST_F(LookupTabs, AConnectionThatNeitherOpensNorFailsStillEndsInTheTimedOutBox) {
    PendingServer pending;
    PointWhoisAt(pending.port());
    whois->lookup.ConnectionWaitMs = 300;
    boxes->snapshot = [this] { return Memo(); };
    tDomain->setText("example.com");
    bLookUp->click();
    EXPECT_EQ(boxes->Texts("warning"), QStringList{"Connection timed out."});
    EXPECT_EQ(boxes->atWarning,
              QStringList{"Looking up host 127.0.0.1...\nConnecting to 127.0.0.1 ..."});
    EXPECT_EQ(Memo(), "");
}

TEST_F(LookupTabs, WhoisServerThatCannotBeResolvedShowsTheException) {
    server->setCurrentText("no-such-host.invalid");
    tDomain->setText("example.com");
    bLookUp->click();
    EXPECT_EQ(Memo(), "Looking up host no-such-host.invalid...\n"
                      "Exception: 11001: [11001] Host not found.");
    EXPECT_TRUE(boxes->Texts("warning").isEmpty());
}

TEST_F(LookupTabs, WhoisWhileAConnectionIsPendingReports101) {
    PendingServer server;
    PointWhoisAt(server.port());
    whois->lookup.ConnectionWaitMs = 600;
    boxes->snapshot = [this] { return Memo(); };
    tDomain->setText("example.com");
    const QString busy = "Looking up host 127.0.0.1...\nException: 101: You cannot change the "
                         "RemoteHost at this time. A connection is in progress.";
    // Clicked again while the first look-up waits.
    QTimer::singleShot(100, bLookUp, &QPushButton::click);
    bLookUp->click();
    EXPECT_EQ(boxes->atWarning, QStringList{busy});
    EXPECT_EQ(Memo(), "");
    // The timed-out attempt is still pending.
    bLookUp->click();
    EXPECT_EQ(Memo(), busy);
}

TEST_F(LookupTabs, WhoisNewLookUpClosesTheAnswerStillArriving) {
    ScriptedPeer slow({ReadQuery(), Send("first answer\n"), Pause(3000), Send("too late\n")});
    ScriptedPeer quick({ReadQuery(), Send("second answer\n")});
    PointWhoisAt(slow.port());
    tDomain->setText("one.example");
    bLookUp->click();
    ASSERT_TRUE(WaitUntil([&] { return Memo().contains("first"); }, 5000));
    PointWhoisAt(quick.port());
    tDomain->setText("two.example");
    bLookUp->click();
    ASSERT_TRUE(AnswerComplete(form->IPPort1));
    EXPECT_EQ(Memo(), "Connected. Waiting for data...\n\nsecond answer");
    EXPECT_EQ(quick.Queries(), QList<QByteArray>{"two.example\r\n"});
}

TEST_F(LookupTabs, FingerAppendsEachAnswerBelowTheLastOne) {
    ScriptedPeer server({ReadQuery(), Send("Login: alice\r\nName: Alice\r\nno line end")}, 2);
    finger->lookup.Port = server.port();
    tHost->setText("alice@127.0.0.1");
    QTest::keyClick(tHost, Qt::Key_Return);
    EXPECT_EQ(tHost->text(), "alice@127.0.0.1");
    ASSERT_TRUE(AnswerComplete(form->IPPort2));
    tHost->setText("127.0.0.1");
    fingerlookup->click();
    ASSERT_TRUE(AnswerComplete(form->IPPort2));
    const QStringList one = {"Connecting to 127.0.0.1...   Will time out in 15 seconds",
                             "Login: alice", "Name: Alice", "no line end"};
    EXPECT_EQ(Items(), QStringList{"Requesting 127.0.0.1..."} + one +
                           QStringList{"Requesting 127.0.0.1..."} + one);
    EXPECT_EQ(server.Queries(), (QList<QByteArray>{"alice\r\n", "\r\n"}));
    EXPECT_EQ(finger->lookup.FingerUser, "");
    EXPECT_EQ(finger->lookup.FingerHost, "127.0.0.1");
    EXPECT_TRUE(boxes->shown().empty());
}

TEST_F(LookupTabs, FingerSplitsAtTheFirstAt) {
    ScriptedPeer server({ReadQuery()});
    finger->lookup.Port = server.port();
    tHost->setText("@127.0.0.1");
    fingerlookup->click();
    ASSERT_TRUE(AnswerComplete(form->IPPort2));
    EXPECT_EQ(server.Queries(), QList<QByteArray>{"\r\n"});

    lResponse->Clear();
    tHost->setText("a@b@no-such-host.invalid");
    fingerlookup->click();
    EXPECT_EQ(finger->lookup.FingerUser, "a");
    EXPECT_EQ(finger->lookup.FingerHost, "b@no-such-host.invalid");
    EXPECT_EQ(Items(), (QStringList{"Requesting b@no-such-host.invalid...",
                                    "Exception: 11001: [11001] Host not found."}));

    lResponse->Clear();
    tHost->setText("user@");
    fingerlookup->click();
    EXPECT_EQ(Items(),
              (QStringList{"Requesting ...", "Connecting to ...   Will time out in 15 seconds",
                           "Exception: 102: The RemoteHost address is invalid (0.0.0.0)."}));
}

TEST_F(LookupTabs, ARefusedFingerKeepsTheListAndTellsWhy) {
    RefusingPort refusing;
    finger->lookup.Port = refusing.port();
    lResponse->AddText("earlier answer");
    tHost->setText("127.0.0.1");
    fingerlookup->click();
    EXPECT_TRUE(boxes->shown().empty());
    EXPECT_EQ(Items(), (QStringList{"earlier answer", "Requesting 127.0.0.1...",
                                    "Connecting to 127.0.0.1...   Will time out in 15 seconds",
                                    "Connection failed: [10061] Connection refused."}));
}

TEST_F(LookupTabs, DoubleClicksFingerTheListedUserAndTheHost) {
    ScriptedPeer server({ReadQuery(), Send("bob      Bob Builder   pts/1\r\n")}, 3);
    finger->lookup.Port = server.port();
    auto* pages = form->Control<QTabWidget>("PageControl1");
    pages->setCurrentWidget(form->Control<QWidget>("FingerSheet"));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    tHost->setText("127.0.0.1");
    fingerlookup->click();
    ASSERT_TRUE(AnswerComplete(form->IPPort2));
    ASSERT_EQ(Items().last(), "bob      Bob Builder   pts/1");
    const qsizetype bob = lResponse->Count() - 1;

    const QPoint at = lResponse->RowRect(bob).center();
    // A user's double click: a click, then the second press as a double click.
    QTest::mouseClick(lResponse->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(lResponse->viewport(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(AnswerComplete(form->IPPort2));
    EXPECT_EQ(tHost->text(), "bob@127.0.0.1");
    QTest::mouseDClick(tHost, Qt::LeftButton);
    ASSERT_TRUE(AnswerComplete(form->IPPort2));
    EXPECT_EQ(tHost->text(), "127.0.0.1");
    EXPECT_EQ(server.Queries(), (QList<QByteArray>{"\r\n", "bob\r\n", "\r\n"}));
}

TEST_F(LookupTabs, EachAnswerLineIsUtf8WhenItIsAndLatin1OtherwiseAndOnlyTheLineEndsCrIsHidden) {
    // 3000 "é" in UTF-8 are 6000 bytes: the 2048-byte receive buffer cuts this line into pieces,
    // and 2048 is even while the bytes start one byte in, so every cut falls inside a character.
    const QByteArray wide = "x" + QString(3000, QChar(0xE9)).toUtf8();
    ScriptedPeer server({ReadQuery(),
                         Send("M\xFC"
                              "ller\r\nM\xC3\xBC"
                              "ller\na\rb\r\n"),
                         Pause(50), Send(wide + "\n")});
    PointWhoisAt(server.port());
    tDomain->setText("example.com");
    bLookUp->click();
    ASSERT_TRUE(AnswerComplete(form->IPPort1));
    const QStringList lines = Memo().split('\n');
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines.mid(2, 3), (QStringList{"M\u00fcller", "M\u00fcller", "a\u240db"}));
    // The wide line, in pieces that each hold whole characters only.
    const QStringList pieces = lines.mid(5);
    EXPECT_GE(pieces.size(), 3);
    EXPECT_EQ(pieces.join(""), "x" + QString(3000, QChar(0xE9)));
    for (const QString& piece : pieces)
        EXPECT_FALSE(piece.contains(QChar::ReplacementCharacter));
}

TEST_F(LookupTabs, AResetWhileTheAnswerArrivesShowsTheErrorBox) {
    ScriptedPeer server({ReadQuery(), Send("first line\n"), Pause(200), ResetConnection()});
    PointWhoisAt(server.port());
    tDomain->setText("example.com");
    bLookUp->click();
    ASSERT_TRUE(AnswerComplete(form->IPPort1));
    EXPECT_EQ(boxes->Texts("error"), QStringList{"IPPort error: 10054Winsock error in recv() "});
    EXPECT_EQ(Memo(), "Connected. Waiting for data...\n\nfirst line");
}

TEST_F(LookupTabs, AFortyFourThousandLineFingerAnswerIsShownWholeInFewRepaints) {
    QByteArray answer;
    for (int i = 0; i < 44000; ++i)
        answer += QByteArray("user") + QByteArray::number(i) + "  Benchmark User   pts/1\r\n";
    ScriptedPeer server({ReadQuery(), Send(answer)});
    finger->lookup.Port = server.port();
    auto* pages = form->Control<QTabWidget>("PageControl1");
    pages->setCurrentWidget(form->Control<QWidget>("FingerSheet"));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++paints;
            return false;
        }
    } counter;
    lResponse->viewport()->installEventFilter(&counter);
    tHost->setText("127.0.0.1");
    fingerlookup->click();
    ASSERT_TRUE(AnswerComplete(form->IPPort2));
    const QStringList items = Items();
    ASSERT_EQ(items.size(), 44002);
    EXPECT_EQ(items.last(), "user43999  Benchmark User   pts/1");
    // Lines are shown in batches, not one repaint (and relayout) per line.
    QTest::qWait(50);
    EXPECT_LT(counter.paints, 1000);
    EXPECT_TRUE(lResponse->viewport()->rect().contains(lResponse->RowRect(items.size() - 1)));
}
