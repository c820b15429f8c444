// What assistive technology is told while the window works: the events Qt hands to the desktop's
// accessibility bus, caught by an update handler. Qt raises them only while its bridge to the bus
// is active, so these tests run on Xvfb with the bus started (support/with_atspi.sh) and are
// skipped in the plain offscreen run.
#include "app/ui/statusline.h"
#include "nscheck/ui/nscheckdlg.h"
#include "support/ui/formdriver.h"

#include <QAccessible>
#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {
struct Caught {
    QAccessible::Event type;
    QObject* object;
    QAccessible::Role role;
    QString name; // of the event's object, or of its child when the event names one
};

std::vector<Caught>& CaughtEvents() {
    static std::vector<Caught> caught;
    return caught;
}

void Catch(QAccessibleEvent* event) {
    QAccessibleInterface* iface = event->accessibleInterface();
    CaughtEvents().push_back({event->type(), event->object(),
                              iface ? iface->role() : QAccessible::NoRole,
                              iface ? iface->text(QAccessible::Name) : QString()});
}

class LiveEvents : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("REGISCRIBE_ACCESSIBILITY_BUS"))
            GTEST_SKIP() << "needs the accessibility bus (support/with_atspi.sh)";
        // The bridge turns on once it has found the bus.
        for (int i = 0; i < 250 && !QAccessible::isActive(); ++i)
            QTest::qWait(20);
        ASSERT_TRUE(QAccessible::isActive());
    }
    void Listen() {
        CaughtEvents().clear();
        previous_ = QAccessible::installUpdateHandler(Catch);
        listening_ = true;
    }
    void TearDown() override {
        if (listening_) QAccessible::installUpdateHandler(previous_);
    }
    std::vector<Caught> On(QObject* object) const {
        std::vector<Caught> mine;
        for (const Caught& c : CaughtEvents())
            if (c.object == object) mine.push_back(c);
        return mine;
    }

private:
    bool listening_ = false;
    QAccessible::UpdateHandler previous_ = nullptr;
};
} // namespace

TEST_F(LiveEvents, TheStatusLineIsAStatusBarToldOncePerChange) {
    FormDriver d;
    TStatusLine* line = StatusLine(d.form(), RecordKind::Domain);
    ASSERT_NE(line, nullptr);
    Listen();
    ShowStatus(d.form(), RecordKind::Domain, "Opening connection");
    ShowStatus(d.form(), RecordKind::Domain, "Opening connection"); // no change, nothing told
    ShowStatus(d.form(), RecordKind::Domain, "Sending message");
    // A Clear All pressed with the keyboard tells its own line once.
    QWidget& clearAll = d.Widget("BitBtn2");
    ShowSheetOf(clearAll);
    clearAll.setFocus(Qt::TabFocusReason);
    QTest::keyClick(&clearAll, Qt::Key_Space);

    std::vector<Caught> told;
    for (const Caught& c : On(line))
        if (c.type != QAccessible::ObjectShow && c.type != QAccessible::ObjectHide)
            told.push_back(c);
    QStringList kinds;
    for (const Caught& c : told)
        kinds << QString::number(int(c.type), 16) + " " + c.name;
    ASSERT_EQ(told.size(), 3u) << kinds.join(", ").toStdString();
    const QStringList texts{"Opening connection", "Sending message", "Cleared: Ctrl+Z restores"};
    for (size_t i = 0; i < told.size(); ++i) {
        EXPECT_EQ(told[i].type, QAccessible::NameChanged);
        EXPECT_EQ(told[i].role, QAccessible::StatusBar);
        EXPECT_EQ(told[i].name, texts[int(i)]);
    }
    EXPECT_TRUE(On(d.form().Control<QWidget>("hoststatus")).empty());
}

TEST_F(LiveEvents, EachNewCheckRowIsToldWithItsLevelAndText) {
    TNSCheckDlg dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    Listen();
    const CheckLine lines[] = {
        {Verdict::Ok, "ns1.example.com (192.0.2.1): authoritative for example.com"},
        {Verdict::Error, "only 1 name server listed: a domain needs at least two"},
    };
    for (const CheckLine& line : lines)
        dialog.Check().OnLine(line);

    std::vector<Caught> rows;
    for (const Caught& c : On(dialog.CheckLines))
        if (c.type == QAccessible::ObjectCreated) rows.push_back(c);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0].name.startsWith("ok ")) << rows[0].name.toStdString();
    EXPECT_TRUE(rows[0].name.endsWith(lines[0].text)) << rows[0].name.toStdString();
    EXPECT_TRUE(rows[1].name.startsWith("error ")) << rows[1].name.toStdString();
    EXPECT_TRUE(rows[1].name.endsWith(lines[1].text)) << rows[1].name.toStdString();
}
