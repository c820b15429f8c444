// Print as the user meets it on a machine without printers: the print dialog's "Preview..." shows
// the pages that will print, and "Print to File (PDF)" with a file name prints them.
#include "app/ui/form1.h"
#include "support/process.h"
#include "support/ui/formdriver.h"
#include "templates/ui/windowrecord.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {
QPushButton* ButtonOf(QDialog& dialog, const QString& text) {
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

int PdfPages(const QString& pdf) {
    const ProcessResult r = RunProgram("pdfinfo", {pdf});
    for (const QByteArray& line : r.out.split('\n'))
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    return -1;
}
} // namespace

TEST(PrintPreview, ThePreviewShowsThePagesThatPrintToAPdfFile) {
    FormDriver d;
    d.Type("DomainNameEdit", "example.com");
    d.Type("OOrgNameEdit", "Example Widgets Ltd.");
    d.Click("ShowForm");
    const QString pdf = QDir::current().filePath("domain.pdf");

    int previewPages = 0;
    bool printerListOffersPdf = false;
    WhenModal::Next<QPrintDialog>([&](QPrintDialog& dialog) {
        auto* printers = dialog.findChild<QComboBox*>("printers");
        printerListOffersPdf = printers && printers->findText("Print to File (PDF)") >= 0;
        if (printers) PickFromList(*printers, "Print to File (PDF)");
        WhenModal::Next<QPrintPreviewDialog>([&](QPrintPreviewDialog& preview) {
            if (auto* pages = preview.findChild<QPrintPreviewWidget*>())
                previewPages = pages->pageCount();
            preview.reject();
        });
        QPushButton* previewButton = ButtonOf(dialog, "Pre&view...");
        ASSERT_TRUE(previewButton);
        QTest::mouseClick(previewButton, Qt::LeftButton);
        auto* file = dialog.findChild<QLineEdit*>("filename");
        ASSERT_TRUE(file);
        file->setFocus();
        file->selectAll();
        QTest::keyClicks(file, pdf);
        QTest::mouseClick(ButtonOf(dialog, "&Print"), Qt::LeftButton);
    });
    d.Click("BitBtn4"); // Print

    EXPECT_TRUE(printerListOffersPdf);
    ASSERT_TRUE(QFileInfo::exists(pdf));
    EXPECT_GE(previewPages, 3); // the 222-line template with its agreement
    EXPECT_EQ(PdfPages(pdf), previewPages);
    const ProcessResult text = RunProgram("pdftotext", {pdf, "-"});
    EXPECT_TRUE(text.out.contains("Example Widgets Ltd.")) << text.out.left(300).toStdString();
    EXPECT_TRUE(text.out.contains("END OF AGREEMENT"));

    // Every word lies at least 15 mm (42.5 pt) inside the paper's edges: within any printer's
    // printable area.
    const ProcessResult boxes = RunProgram("pdftotext", {"-bbox", pdf, "-"});
    const QRegularExpression page("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\"");
    const QRegularExpression word(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\"");
    const QString layout = QString::fromUtf8(boxes.out);
    const QRegularExpressionMatch size = page.match(layout);
    ASSERT_TRUE(size.hasMatch());
    const double width = size.captured(1).toDouble(), height = size.captured(2).toDouble();
    int words = 0;
    for (const QRegularExpressionMatch& m : word.globalMatch(layout)) {
        ++words;
        EXPECT_GE(m.captured(1).toDouble(), 42.5) << m.captured(0).toStdString();
        EXPECT_GE(m.captured(2).toDouble(), 42.5) << m.captured(0).toStdString();
        EXPECT_LE(m.captured(3).toDouble(), width - 42.5) << m.captured(0).toStdString();
        EXPECT_LE(m.captured(4).toDouble(), height - 42.5) << m.captured(0).toStdString();
    }
    EXPECT_GT(words, 500);
}

// Run at twice the pixel density too, where the screen has half the room.
TEST(HiDpi, ThePreviewFitsTheScreenWithItsWholeToolBarPrintIncluded) {
    FormDriver d;
    d.Type("DomainNameEdit", "example.com");
    d.Click("ShowForm");
    QRect screen, shown;
    QStringList cutOff;
    bool printReachable = false;
    WhenModal::Next<QPrintDialog>([&](QPrintDialog& dialog) {
        WhenModal::Next<QPrintPreviewDialog>([&](QPrintPreviewDialog& preview) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
            screen = preview.screen()->availableGeometry();
            shown = preview.frameGeometry();
            auto* bar = preview.findChild<QToolBar*>();
            ASSERT_TRUE(bar);
            // Every action still on the bar is shown whole inside it, none behind the extension
            // button.
            for (QAction* action : bar->actions()) {
                QWidget* button = bar->widgetForAction(action);
                if (!action->isVisible() || action->isSeparator() || !button) continue;
                const QRect at(button->mapTo(bar, QPoint()), button->size());
                if (!button->isVisible() || !bar->rect().contains(at)) cutOff << action->text();
                if (action->text() == "Print")
                    printReachable = button->isVisible() && bar->rect().contains(at);
            }
            preview.reject();
        });
        QTest::mouseClick(ButtonOf(dialog, "Pre&view..."), Qt::LeftButton);
        dialog.reject();
    });
    d.Click("BitBtn4");
    EXPECT_TRUE(screen.contains(shown)) << "screen " << screen.width() << "x" << screen.height()
                                        << ", preview " << shown.width() << "x" << shown.height();
    EXPECT_TRUE(cutOff.isEmpty()) << cutOff.join(", ").toStdString();
    EXPECT_TRUE(printReachable);
    EXPECT_GE(shown.height(), screen.height() / 2);
}
