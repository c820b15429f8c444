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
#include <QTest>
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
}
