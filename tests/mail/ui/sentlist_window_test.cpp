// The Sent Registrations window over a log written here: sorting and filtering as a user clicks
// and types, the count of damaged lines, the rows given back on closing, Show Folder without a
// file manager, the signature of old and new lines, and the read-only window of a kept message.
#include "app/ui/helpwindow.h"
#include "mail/sentcopy.h"
#include "mail/ui/keptmessagedlg.h"
#include "mail/ui/sentdlg.h"
#include "mail/ui/sentmodel.h"
#include "mail/ui/sentwindowfit.h"
#include "platform/wait.h"
#include "support/desktophandler.h"
#include "support/tempdir.h"
#include "support/ui/formdriver.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTreeView>
#include <QUrl>
#include <gtest/gtest.h>

namespace {
QDateTime At(int day, int hour) {
    return QDateTime(QDate(2026, 12, day), QTime(hour, 0));
}

SentEntry Entry(const QDateTime& when, const QString& kind, const QString& name,
                const QString& recipient, const QString& signer = QString()) {
    return SentEntry{when, kind, name, recipient, "<" + name + "@id.test>", "250 Ok", signer};
}

void AppendLog(const QByteArray& lines) {
    QDir().mkpath("sent");
    QFile::setPermissions("sent",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    WriteAll("sent/sent.log", ReadAll("sent/sent.log") + lines);
}

// The column's cells top down, as the list shows them.
QStringList ColumnShown(QTreeView* list, int column) {
    QStringList cells;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        cells << list->model()->index(row, column).data().toString();
    return cells;
}

void ClickTitle(QTreeView* list, int column) {
    QHeaderView* header = list->header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void TypeDate(QDateEdit* edit, const QDate& date) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, date.toString("yyyy-MM-dd"));
}

// The window opened on the current folder's log, as File > Sent Registrations... does.
struct OpenWindow {
    TSentDlg dialog;
    OpenWindow() {
        dialog.Reload();
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
};
} // namespace

TEST(SentList, SortsByAColumnsTitleAndFiltersByTextAndDates) {
    ScopedWorkDir dir;
    AppendLog(SentLogLine(Entry(At(5, 9), "domain", "beta.example", "hostmaster@registry.test")) +
              "\n" + SentLogLine(Entry(At(8, 9), "host", "ns1.alpha.example", "auto@ripe.test")) +
              "\n" + SentLogLine(Entry(At(7, 9), "contact", "Zoe Hall", "hostmaster@nic.test")) +
              "\n");
    OpenWindow w;
    QTreeView* list = w.dialog.SentList;
    const int name = TSentModel::NameColumn;
    // Newest first, whatever the log's order.
    EXPECT_EQ(ColumnShown(list, name),
              QStringList({"ns1.alpha.example", "Zoe Hall", "beta.example"}));
    ClickTitle(list, name);
    EXPECT_EQ(ColumnShown(list, name),
              QStringList({"beta.example", "ns1.alpha.example", "Zoe Hall"}));
    ClickTitle(list, name);
    EXPECT_EQ(ColumnShown(list, name),
              QStringList({"Zoe Hall", "ns1.alpha.example", "beta.example"}));
    ClickTitle(list, TSentModel::RecipientColumn);
    EXPECT_EQ(ColumnShown(list, name),
              QStringList({"ns1.alpha.example", "Zoe Hall", "beta.example"}));
    // The time by the moment: the 5th before the 7th and the 8th.
    ClickTitle(list, TSentModel::TimeColumn);
    EXPECT_EQ(ColumnShown(list, name),
              QStringList({"beta.example", "Zoe Hall", "ns1.alpha.example"}));

    // The text finds the recipient and the kind as well as the name, in any case.
    QTest::mouseClick(w.dialog.FilterEdit, Qt::LeftButton);
    QTest::keyClicks(w.dialog.FilterEdit, "RIPE");
    EXPECT_EQ(ColumnShown(list, name), QStringList{"ns1.alpha.example"});
    QTest::keyClick(w.dialog.FilterEdit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w.dialog.FilterEdit, "contact");
    EXPECT_EQ(ColumnShown(list, name), QStringList{"Zoe Hall"});
    // The row shown is the chosen one: Show shows it.
    EXPECT_EQ(w.dialog.ChosenEntry(), 2);
    QTest::keyClick(w.dialog.FilterEdit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w.dialog.FilterEdit, Qt::Key_Delete);
    EXPECT_EQ(ColumnShown(list, name).size(), 3);

    // The dates offered are the log's first and last; the range counts whole days.
    EXPECT_FALSE(w.dialog.FromDate->isEnabled());
    EXPECT_EQ(w.dialog.FromDate->date(), QDate(2026, 12, 5));
    EXPECT_EQ(w.dialog.ToDate->date(), QDate(2026, 12, 8));
    QTest::mouseClick(w.dialog.DateRangeBox, Qt::LeftButton);
    ASSERT_TRUE(w.dialog.FromDate->isEnabled());
    TypeDate(w.dialog.FromDate, QDate(2026, 12, 6));
    EXPECT_EQ(ColumnShown(list, name), QStringList({"Zoe Hall", "ns1.alpha.example"}));
    TypeDate(w.dialog.ToDate, QDate(2026, 12, 7));
    EXPECT_EQ(ColumnShown(list, name), QStringList{"Zoe Hall"});
    // Text and dates together; the box off again lets every date through.
    QTest::keyClicks(w.dialog.FilterEdit, "beta");
    EXPECT_EQ(ColumnShown(list, name), QStringList());
    QTest::mouseClick(w.dialog.DateRangeBox, Qt::LeftButton);
    EXPECT_EQ(ColumnShown(list, name), QStringList{"beta.example"});
}

TEST(SentList, CountsTheDamagedLinesAndGivesTheRowsBackWhenClosed) {
    ScopedWorkDir dir;
    const QByteArray good = SentLogLine(Entry(At(5, 9), "domain", "a.example", "h@r.test"));
    AppendLog(good + "\n" + "2026-12-05T09:00:00\ttruncated\n" + good + "\n");
    {
        OpenWindow w;
        EXPECT_EQ(w.dialog.SentList->model()->rowCount(), 2);
        EXPECT_TRUE(w.dialog.SentNote->text().endsWith("\n1 damaged line in the log was skipped."))
            << w.dialog.SentNote->text().toStdString();
        // Closed: nothing of the log stays in memory; opened again: read again.
        QTest::mouseClick(w.dialog.CloseButton, Qt::LeftButton);
        EXPECT_FALSE(w.dialog.isVisible());
        EXPECT_EQ(w.dialog.Model->rowCount(), 0);
        EXPECT_EQ(w.dialog.Model->Log().bytes.capacity(), 0);
        EXPECT_EQ(w.dialog.Model->Log().rows.capacity(), 0u);
        AppendLog("\x01\x02 binary\n" + good + "\n");
        w.dialog.Reload();
        w.dialog.show();
        EXPECT_EQ(w.dialog.SentList->model()->rowCount(), 3);
        EXPECT_TRUE(
            w.dialog.SentNote->text().endsWith("\n2 damaged lines in the log were skipped."))
            << w.dialog.SentNote->text().toStdString();
    }
    WriteAll("sent/sent.log", good + "\n");
    OpenWindow w;
    EXPECT_EQ(w.dialog.SentNote->text(), "Kept in " + SentFolderPath());
}

namespace {
// A desktop whose file manager is a script that writes its arguments into a file, or one that is
// not there.
struct FileManager : DesktopHandler {
    explicit FileManager(bool present) : DesktopHandler({"inode/directory"}, present) {}
};

TSentDlg* OpenFromTheMenu(FormDriver& d) {
    d.ChooseMenuItem("Setup1", "SentRegistrations1");
    TSentDlg* sent = nullptr;
    WaitUntil(
        [&] { return (sent = d.form().findChild<TSentDlg*>("SentDlg")) && sent->isVisible(); },
        3000);
    return sent;
}
} // namespace

TEST(SentList, TheProgramsShowFolderStartsTheFileManagerOrCopiesThePathWhenItCannot) {
    ScopedWorkDir dir;
    AppendLog(SentLogLine(Entry(At(5, 9), "domain", "a.example", "h@r.test")) + "\n");
    QApplication::clipboard()->setText("before");
    {
        FileManager files(true);
        FormDriver d;
        TSentDlg* sent = OpenFromTheMenu(d);
        ASSERT_TRUE(sent);
        QTest::mouseClick(sent->ShowFolderButton, Qt::LeftButton);
        EXPECT_EQ(files.NextStart(), QUrl::fromLocalFile(SentFolderPath()).toString() + "\n");
        EXPECT_EQ(QApplication::clipboard()->text(), "before");
    }
    FileManager missing(false);
    FormDriver d;
    TSentDlg* sent = OpenFromTheMenu(d);
    ASSERT_TRUE(sent);
    QTest::mouseClick(sent->ShowFolderButton, Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(), SentFolderPath());
    EXPECT_EQ(sent->SentNote->text(),
              "No file manager could open the folder; its path is on the clipboard: " +
                  SentFolderPath());
    EXPECT_TRUE(d.boxes().Texts("error").isEmpty())
        << d.boxes().Texts("error").join('|').toStdString();
}

TEST(SentList, TheSignatureColumnNamesTheKeyOfASignedLineAndIsHiddenWithoutOne) {
    ScopedWorkDir dir;
    // A line of an older version: six fields, no signature.
    AppendLog("2026-12-04T09:00:00Z\tdomain\told.example\th@r.test\t<old@id.test>\t250 Ok\n");
    {
        OpenWindow w;
        EXPECT_EQ(ColumnShown(w.dialog.SentList, TSentModel::NameColumn),
                  QStringList{"old.example"});
        EXPECT_TRUE(w.dialog.SentList->isColumnHidden(TSentModel::SignedColumn));
    }
    AppendLog(SentLogLine(Entry(At(5, 9), "domain", "new.example", "h@r.test",
                                "0x0123456789ABCDEF (Jane Doe <jane@example.test>)")) +
              "\n");
    OpenWindow w;
    QTreeView* list = w.dialog.SentList;
    EXPECT_FALSE(list->isColumnHidden(TSentModel::SignedColumn));
    EXPECT_EQ(list->model()->headerData(TSentModel::SignedColumn, Qt::Horizontal).toString(),
              "Signature");
    EXPECT_EQ(ColumnShown(list, TSentModel::SignedColumn),
              QStringList({"signed with 0x0123456789ABCDEF (Jane Doe <jane@example.test>)", ""}));
    // The filter does not look there, the sort does.
    ClickTitle(list, TSentModel::SignedColumn);
    EXPECT_EQ(ColumnShown(list, TSentModel::NameColumn),
              QStringList({"old.example", "new.example"}));
}

TEST(SentList, AKeptMessageShowsReadOnlyDecodedAndAligned) {
    ScopedWorkDir dir;
    const SentEntry entry = Entry(At(5, 9), "contact", "Renee", "h@r.test");
    const QByteArray message = "From: =?UTF-8?Q?Ren=C3=A9e_Lef=C3=A8vre?= <renee@example.test>\r\n"
                               "To: h@r.test\r\n"
                               "Subject: =?UTF-8?B?UmVuw6llIExlZsOodnJl?= Internic CONTACT\r\n"
                               " Registration\r\n"
                               "Message-ID: <Renee@id.test>\r\n"
                               "MIME-Version: 1.0\r\n"
                               "Content-Type: text/plain; charset=utf-8\r\n"
                               "Content-Transfer-Encoding: quoted-printable\r\n"
                               "\r\n"
                               "1c. Name....................: J=C3=BCrgen M=C3=BCller\r\n"
                               "-----BEGIN PGP SIGNATURE-----\r\n";
    ASSERT_TRUE(KeepSentCopy(SentFolderPath(), entry, message));
    OpenWindow w;
    QTreeView* list = w.dialog.SentList;
    const QRect row = list->visualRect(list->model()->index(0, TSentModel::NameColumn));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
    TKeptMessageDlg* viewer = w.dialog.MessageWindow();
    ASSERT_TRUE(viewer && viewer->isVisible());
    EXPECT_TRUE(viewer->MessageText->isReadOnly());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(viewer->MessageText)->text(QAccessible::Name),
              "Message as sent");
    // 26 columns: "Content-Transfer-Encoding:" and a blank.
    EXPECT_EQ(viewer->MessageText->toPlainText(),
              "From:                      Ren\u00e9e Lef\u00e8vre <renee@example.test>\n"
              "To:                        h@r.test\n"
              "Subject:                   Ren\u00e9e Lef\u00e8vre Internic CONTACT Registration\n"
              "Message-ID:                <Renee@id.test>\n"
              "MIME-Version:              1.0\n"
              "Content-Type:              text/plain; charset=utf-8\n"
              "Content-Transfer-Encoding: quoted-printable\n"
              "\n"
              "1c. Name....................: J\u00fcrgen M\u00fcller\n"
              "-----BEGIN PGP SIGNATURE-----");
    // Typing changes nothing; F1 opens the page of the window; Escape closes it.
    QApplication::setActiveWindow(viewer);
    viewer->MessageText->setFocus();
    QTest::keyClicks(viewer->MessageText, "x");
    EXPECT_FALSE(viewer->MessageText->toPlainText().startsWith("x"));
    QTest::keyClick(viewer->MessageText, Qt::Key_F1);
    ASSERT_TRUE(HelpWindow() && HelpWindow()->isVisible());
    EXPECT_EQ(HelpWindow()->Page(), HelpTopicUrl(SentWindowHelpTopic));
    HelpWindow()->close();
    QApplication::setActiveWindow(viewer);
    QTest::keyClick(viewer->MessageText, Qt::Key_Escape);
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_TRUE(w.dialog.isVisible());
}

TEST(SentList, TheWindowOpensInsideTheScreen) {
    ScopedWorkDir dir;
    TSentDlg dialog;
    const QRect free = dialog.screen()->availableGeometry();
    dialog.resize(free.width() * 2, free.height() * 2);
    dialog.move(free.right() - 10, free.bottom() - 10);
    dialog.Reload();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(free.contains(dialog.frameGeometry()))
        << dialog.frameGeometry().width() << "x" << dialog.frameGeometry().height();
    // Where it fits, the place the user gave it is kept when it opens again.
    dialog.hide();
    const QRect inside(free.topLeft() + QPoint(4, 30),
                       (free.size() / 2).expandedTo(dialog.minimumSizeHint()));
    dialog.setGeometry(inside);
    dialog.show();
    EXPECT_EQ(dialog.geometry(), inside);
}
