// Show Form, the review page and Print on the main window.
#include "app/ui/form1.h"
#include "platform/fileerror.h"
#include "platform/messageboxes.h"
#include "support/process.h"
#include "support/tempdir.h"
#include "support/ui/formdriver.h"
#include "templates/templatefiles.h"
#include "templates/ui/formviewer.h"
#include "templates/ui/printing.h"
#include "templates/ui/templatesbehaviour.h"
#include "templates/ui/windowrecord.h"
#include "templates/ui/windowwriters.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class WindowTemplates : public testing::Test {
protected:
    WindowTemplates() {
        SetBoxes(boxes);
        templates = form.findChild<TTemplates*>("Templates");
    }
    ~WindowTemplates() override {
        PrintDialogRunner() = [](QPrintDialog& d) { return d.exec() == QDialog::Accepted; };
        SetBoxes(std::make_shared<ScriptedBoxes>());
    }
    void Click(const QString& button) { form.Control<QAbstractButton>(button)->click(); }
    QString Text(const QString& memo) { return form.Control<QPlainTextEdit>(memo)->toPlainText(); }
    QStringList Lines(const QString& memo) { return Text(memo).split('\n'); }
    // Prints to a PDF in the work folder, or cancels the dialog; counts the dialogs shown.
    void AnswerPrintDialog(bool print, const QString& pdf = "out.pdf") {
        PrintDialogRunner() = [this, print, pdf](QPrintDialog& dialog) {
            ++dialogs;
            EXPECT_EQ(dialog.objectName(), "PrintDialog1");
            dialog.printer()->setOutputFormat(QPrinter::PdfFormat);
            dialog.printer()->setOutputFileName(dir.file(pdf));
            return print;
        };
    }
    QString PdfText(const QString& pdf) {
        ProcessResult r = RunProgram("pdftotext", {"-layout", dir.file(pdf), "-"});
        EXPECT_EQ(r.exitCode, 0);
        return QString::fromUtf8(r.out);
    }

    ScopedWorkDir dir;
    std::shared_ptr<ScriptedBoxes> boxes = std::make_shared<ScriptedBoxes>();
    TForm1 form;
    TTemplates* templates = nullptr;
    int dialogs = 0;
};

QStringList Tree(const QString& root) {
    QStringList all;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        all << it.next();
    all.sort();
    return all;
}
} // namespace

TEST_F(WindowTemplates, DomainShowFormShowsTheViewerFirstAndChecksTheName) {
    ASSERT_NE(templates, nullptr);
    bool viewerUpAtTheBox = false;
    boxes->OnShown = [&] { viewerUpAtTheBox = form.FormView && form.FormView->isVisible(); };
    Click("ShowForm");
    boxes->OnShown = nullptr;
    ASSERT_NE(form.FormView, nullptr);
    EXPECT_TRUE(viewerUpAtTheBox);
    EXPECT_FALSE(form.FormView->isVisible()); // nothing to show: no empty viewer left open
    EXPECT_EQ(boxes->Texts("information"),
              QStringList{"You did not enter a domain name on the TYPE tab."});
    EXPECT_TRUE(Tree(dir.path()).isEmpty());

    SetFieldText(form, "DomainNameEdit", "example.com");
    SetFieldText(form, "PurposeEdit", "web\r\nmail");
    Click("ShowForm");
    EXPECT_EQ(boxes->Texts("error"), QStringList());
    EXPECT_EQ(form.DomainFormFile, dir.file("domains/example.com.txt"));
    EXPECT_EQ(form.DomainRecordFile, dir.file("domains/example.com.ini"));
    auto* viewer = qobject_cast<TFormView*>(form.FormView);
    ASSERT_NE(viewer, nullptr);
    const QStringList shown = viewer->Memo1->toPlainText().split('\n');
    EXPECT_EQ(shown, ReadTextLines(form.DomainFormFile));
    EXPECT_EQ(shown.size(), 223);
    EXPECT_EQ(shown.last(), "END OF AGREEMENT");
    EXPECT_EQ(Lines("Memo1"), shown); // the hidden domain print text

    // A viewer that was open stays open, with its text, when a later Show Form fails.
    SetFieldText(form, "DomainNameEdit", "");
    Click("ShowForm");
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->Memo1->toPlainText().split('\n'), shown);
}

TEST_F(WindowTemplates, AShowFormThatCannotWriteLeavesNoViewerAndEscapeClosesAShownOne) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QDir().mkpath("domains/locked.example.txt"); // a folder where the template goes
    SetFieldText(form, "DomainNameEdit", "locked.example");
    QTest::mouseClick(form.Control<QAbstractButton>("ShowForm"), Qt::LeftButton);
    EXPECT_EQ(boxes->Texts("error"), QStringList{"File access denied."});
    ASSERT_NE(form.FormView, nullptr);
    EXPECT_FALSE(form.FormView->isVisible());

    SetFieldText(form, "DomainNameEdit", "example.com");
    QTest::mouseClick(form.Control<QAbstractButton>("ShowForm"), Qt::LeftButton);
    auto* viewer = qobject_cast<TFormView*>(form.FormView);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer));
    viewer->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(viewer));
    viewer->Memo1->setFocus();
    QTest::keyClick(viewer->Memo1, Qt::Key_Escape);
    EXPECT_FALSE(viewer->isVisible());
}

TEST_F(WindowTemplates, HostAndContactShowFormFillTheirReviewMemos) {
    Click("HostShowForm");
    Click("ContactShowForm");
    EXPECT_EQ(boxes->Texts("information"),
              QStringList({"You did not enter a host name on the TYPE tab.",
                           "You did not enter a Contact Name on the Aithorization, Notify & "
                           "Authentication tab."}));
    EXPECT_TRUE(Text("Memo2").isEmpty());

    SetFieldText(form, "HostName", "ns1.example.com");
    SetFieldText(form, "HCMail", "hm@example.com");
    Click("HostShowForm");
    EXPECT_EQ(Lines("Memo2"), ReadTextLines(dir.file("hosts/ns1.example.com.txt")));
    EXPECT_EQ(Lines("Memo2").size(), 28);
    EXPECT_EQ(Lines("Memo2").last(), "2l. E-Mailbox..................: hm@example.com");
    EXPECT_EQ(form.HostFormFile, dir.file("hosts/ns1.example.com.txt"));

    SetFieldText(form, "Contactname", "Jane Roe");
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    PickFromList(*form.Control<QComboBox>("ContactNotifyUse"), "NOT-CARE");
    Click("ContactShowForm");
    const QStringList contact = Lines("Memo3");
    ASSERT_EQ(contact.size(), 31);
    EXPECT_EQ(contact[25], "2b. Notify Use..............: NOT-CARE");
    EXPECT_EQ(contact.last(), "3c. Public (Y/N)............: N"); // Confidential at start
    EXPECT_EQ(form.ContactRecordFile, dir.file("contacts/Jane Roe.ini"));
    EXPECT_EQ(boxes->Texts("error"), QStringList());
}

TEST_F(WindowTemplates, RefusedNamesAndFileErrorsLeaveHoldersAndFilesAlone) {
    SetFieldText(form, "HostName", "ns1");
    Click("HostShowForm");
    const QString before = Text("Memo2");
    QDir().mkpath("a/b");
    QDir::setCurrent(dir.file("a/b"));
    const QStringList tree = Tree(dir.path());
    int names = 0;
    for (const char* box : {"DomainNameEdit", "HostName", "Contactname"})
        for (const char* name : {"../../x", "sub/x", "a\tb"}) {
            SetFieldText(form, box, name);
            boxes->Clear();
            Click(QString(box) == "DomainNameEdit" ? "ShowForm"
                  : QString(box) == "HostName"     ? "HostShowForm"
                                                   : "ContactShowForm");
            EXPECT_EQ(boxes->Texts("error"),
                      QStringList{QString(name).contains('\t')
                                      ? "Invalid filename: control characters."
                                      : "Invalid filename."})
                << name;
            EXPECT_EQ(Tree(dir.path()), tree) << name;
            ++names;
        }
    EXPECT_EQ(names, 9);
    EXPECT_EQ(Text("Memo2"), before);
    EXPECT_EQ(form.HostFormFile, dir.file("hosts/ns1.txt"));

    QDir::setCurrent(dir.path());
    QDir().mkpath("hosts/busy.txt");
    SetFieldText(form, "HostName", "busy");
    boxes->Clear();
    Click("HostShowForm");
    EXPECT_EQ(boxes->Texts("error"), QStringList{"File access denied."});
    EXPECT_EQ(Text("Memo2"), before);
    EXPECT_EQ(form.HostFormFile, dir.file("hosts/busy.txt")); // the new path, though it failed
}

TEST_F(WindowTemplates, TheNameListStepRunsAfterTheHolderWithThePathsSet) {
    QStringList seen;
    templates->UpdateNameListStep = [&](RecordKind kind, const Record& r, const TemplateFiles& f) {
        EXPECT_EQ(kind, RecordKind::Contact);
        seen << r.Name() << f.recordFile << form.ContactRecordFile
             << QString::number(Lines("Memo3").size());
    };
    SetFieldText(form, "Contactname", "Jo");
    Click("ContactShowForm");
    EXPECT_EQ(seen,
              QStringList({"Jo", dir.file("contacts/Jo.ini"), dir.file("contacts/Jo.ini"), "31"}));
}

TEST_F(WindowTemplates, TheReviewPageShowsDisplayedTextsOnEveryTabChange) {
    auto* pages = form.Control<QTabWidget>("PageControl2");
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(form.Control<QLabel>("rdomain")->text(), "n/a");
    SetFieldText(form, "DomainNameEdit", "example.com");
    SetFieldText(form, "AuthScheme", "MAIL-FROM"); // shown, not picked
    SetFieldText(form, "OZipEdit", "12345");
    SetFieldText(form, "TMailEdit", "tech@example.com");
    SetFieldText(form, "BRoleEdit", "R");
    SetFieldText(form, "fourthnsipedit", "10.0.0.4");
    form.Control<QRadioButton>("ModifyDomainRadio")->setChecked(true);
    pages->setCurrentIndex(pages->count() - 1);
    auto label = [&](const char* name) { return form.Control<QLabel>(name)->text(); };
    EXPECT_EQ(label("rdomain"), "example.com");
    EXPECT_EQ(label("rregtype"), "M");
    EXPECT_EQ(label("rauthscheme"), "MAIL-FROM");
    EXPECT_EQ(label("rorgpostal"), "12345");
    EXPECT_EQ(label("rtechemail"), "tech@example.com");
    EXPECT_EQ(label("rbillingtype"), "R");
    EXPECT_EQ(label("rns4ip"), "10.0.0.4");
    EXPECT_EQ(label("radminname"), ""); // refreshed: no longer "n/a"

    SetFieldText(form, "OZipEdit", "99999");
    EXPECT_EQ(label("rorgpostal"), "12345"); // until the next tab change
    pages->setCurrentIndex(0);
    EXPECT_EQ(label("rorgpostal"), "99999");

    Click("ShowForm");
    EXPECT_TRUE(Text("Memo1").contains("\n0b. Auth Scheme................: \n"));

    // The review page's own Clear All shows the emptied fields at once, tab unchanged.
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ShowSheetOf(*form.Control<QWidget>("BitBtn2"));
    QTest::mouseClick(form.Control<QAbstractButton>("BitBtn2"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(pages->currentIndex(), pages->count() - 1);
    EXPECT_EQ(label("rdomain"), "");
    EXPECT_EQ(label("rorgpostal"), "");
    EXPECT_EQ(label("rns4ip"), "");
}

TEST_F(WindowTemplates, PrintUsesTheDialogAndPrintsTheHolderAsShown) {
    Click("BitBtn4");
    EXPECT_EQ(boxes->Texts("information"),
              QStringList{"You did not enter a domain name on the TYPE tab."});
    EXPECT_EQ(dialogs, 0);

    // Before any Show Form the holder is empty: a job without lines.
    AnswerPrintDialog(true, "empty.pdf");
    SetFieldText(form, "HostName", "ns1.example.com");
    Click("HostPrint");
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(PdfText("empty.pdf").trimmed().isEmpty());

    Click("HostShowForm");
    AnswerPrintDialog(false, "cancelled.pdf");
    Click("HostPrint");
    EXPECT_FALSE(QFile::exists(dir.file("cancelled.pdf")));

    // A Delete record's text file is gone after Show Form; Print still prints what is shown.
    QFile::remove(form.HostFormFile);
    AnswerPrintDialog(true, "host.pdf");
    Click("HostPrint");
    const QString host = PdfText("host.pdf");
    EXPECT_TRUE(host.contains("Host Version Number: 1.0"));
    EXPECT_TRUE(host.contains("1b. Host Name..................: ns1.example.com"));

    SetFieldText(form, "DomainNameEdit", "example.com");
    Click("ShowForm");
    AnswerPrintDialog(true, "domain.pdf");
    Click("BitBtn4");
    const QString domain = PdfText("domain.pdf");
    EXPECT_TRUE(domain.contains("NETWORK SOLUTIONS, INC."));
    EXPECT_TRUE(domain.contains("END OF AGREEMENT"));
    EXPECT_EQ(boxes->Texts("error"), QStringList());
    EXPECT_EQ(boxes->Texts("information").size(), 1);

    // A printer that cannot be opened shows the file error.
    AnswerPrintDialog(true, "missing/out.pdf");
    Click("BitBtn4");
    EXPECT_EQ(boxes->Texts("error"), QStringList{"Invalid filename."});
}

// Shows the window and each page's template on screen. With REGISCRIBE_HOLD_MS set, each page
// stays up that long, so the screen can be looked at (for example under Xvfb).
TEST_F(WindowTemplates, EachPageShowsItsTemplateOnScreen) {
    const int hold = qEnvironmentVariableIntValue("REGISCRIBE_HOLD_MS");
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* main = form.Control<QTabWidget>("PageControl1");
    const char* const pages[][4] = {
        {"DomainRegSheet", "DomainNameEdit", "ShowForm", "example.com"},
        {"HostRegSheet", "HostName", "HostShowForm", "ns1.example.com"},
        {"ContactRegSheet", "Contactname", "ContactShowForm", "Jane Roe"},
    };
    for (const auto& page : pages) {
        QWidget* sheet = form.Control<QWidget>(page[0]);
        main->setCurrentWidget(sheet);
        // The page's last nested tab holds its Show Form button.
        if (auto* tabs = sheet->findChild<QTabWidget*>()) tabs->setCurrentIndex(tabs->count() - 1);
        SetFieldText(form, page[1], page[3]);
        Click(page[2]);
        QPlainTextEdit* shown = QString(page[0]) == "DomainRegSheet"
                                    ? qobject_cast<TFormView*>(form.FormView)->Memo1
                                    : form.Control<QPlainTextEdit>(
                                          QString(page[0]) == "HostRegSheet" ? "Memo2" : "Memo3");
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shown->window()));
        EXPECT_TRUE(shown->isVisible()) << page[0];
        EXPECT_TRUE(shown->toPlainText().contains(page[3])) << page[0];
        if (hold > 0) QTest::qWait(hold);
        if (form.FormView) form.FormView->hide();
    }
    EXPECT_EQ(boxes->Texts("error"), QStringList());
}

TEST_F(WindowTemplates, WriteWindowFormKeepsThePathsInTheWindow) {
    SetFieldText(form, "DomainNameEdit", "example.org");
    WriteWindowForm(form, RecordKind::Domain);
    EXPECT_EQ(form.DomainFormFile, dir.file("domains/example.org.txt"));
    EXPECT_EQ(ReadTextLines(form.DomainFormFile).size(), 222);
    EXPECT_TRUE(Text("Memo1").isEmpty()); // writing alone loads no holder

    SetFieldText(form, "DomainNameEdit", "../example.org");
    EXPECT_THROW(WriteWindowForm(form, RecordKind::Domain), EInOutError);
    EXPECT_EQ(form.DomainFormFile, dir.file("domains/example.org.txt"));
}
