// The printer text device's layout, checked on the device itself, and printing read back from PDF.
#include "platform/fileerror.h"
#include "support/process.h"
#include "support/tempdir.h"
#include "templates/templatewriters.h"
#include "templates/ui/printertext.h"
#include "templates/ui/printing.h"

#include <QFontMetrics>
#include <QPdfWriter>
#include <QPrinter>
#include <gtest/gtest.h>

namespace {
QFont Courier() {
    QFont font("Courier", 8);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

class PrinterText : public testing::Test {
protected:
    PrinterText() : pdf(dir.file("out.pdf")) { pdf.setResolution(600); }
    ScopedWorkDir dir;
    QPdfWriter pdf;
};

QString PdfText(const QString& path) {
    ProcessResult r = RunProgram("pdftotext", {"-layout", path, "-"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return QString::fromUtf8(r.out);
}

int PdfPages(const QString& path) {
    ProcessResult r = RunProgram("pdfinfo", {path});
    for (const QString& line : QString::fromUtf8(r.out).split('\n'))
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    return -1;
}
} // namespace

TEST_F(PrinterText, AHeadingAfterATabStartsAtTheFirstStop) {
    TPrinterText device(pdf);
    device.SetFont(Courier());
    device.WriteLine("A.\tIntroduction.  Some words");
    device.WriteLine("\t\tNested");
    device.Close();
    const auto& p = device.Pieces();
    ASSERT_EQ(p.size(), 3u); // tabs draw nothing
    const int stop = device.TabWidth();
    EXPECT_GT(stop, 0);
    EXPECT_EQ(p[0].text, "A.");
    EXPECT_EQ(p[0].x, 0);
    EXPECT_EQ(p[1].text, "Introduction.  Some words");
    EXPECT_EQ(p[1].x, stop);
    EXPECT_EQ(p[1].y, 0);
    EXPECT_EQ(p[2].text, "Nested");
    EXPECT_EQ(p[2].x, 2 * stop);
    // The next line sits one text height plus 2 lower.
    EXPECT_EQ(p[2].y, p[0].height + 2);
}

TEST_F(PrinterText, ALongLineWrapsAtTheLastCharacterThatFits) {
    TPrinterText device(pdf);
    device.SetFont(Courier());
    QString text;
    for (int i = 0; i < 60; ++i)
        text += QString("word%1 ").arg(i);
    device.WriteLine(text);
    device.WriteLine("after");
    device.Close();
    const auto& p = device.Pieces();
    ASSERT_GE(p.size(), 3u);
    const QFontMetrics metrics(Courier(), &pdf);
    QString joined;
    for (size_t i = 0; i + 1 < p.size(); ++i) {
        EXPECT_EQ(p[i].x, 0);
        EXPECT_EQ(p[i].y, int(i) * (p[i].height + 2));
        EXPECT_LE(metrics.horizontalAdvance(p[i].text), device.Width());
        joined += p[i].text;
        if (i + 2 < p.size()) { // one more character would not have fitted
            EXPECT_GT(metrics.horizontalAdvance(p[i].text + p[i + 1].text[0]), device.Width());
        }
    }
    EXPECT_EQ(joined, text);
    EXPECT_EQ(p.back().text, "after");
}

TEST_F(PrinterText, EmptyLinesMoveDownByTheFontHeightAndTabsPastTheEdgeStartANewLine) {
    TPrinterText device(pdf);
    device.SetFont(Courier());
    device.WriteLine("");
    device.WriteLine("");
    device.WriteLine("x");
    const int stops = device.Width() / device.TabWidth();
    device.WriteLine(QString(stops + 1, '\t') + "y");
    device.Close();
    const auto& p = device.Pieces();
    const int height = QFontMetrics(Courier(), &pdf).height();
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].y, 2 * height);
    EXPECT_EQ(p[1].text, "y");
    // The last tab ended a line of no text, which moved down by the font height.
    EXPECT_EQ(p[1].y, 3 * height + 2 + height);
    EXPECT_EQ(p[1].x, 0);
}

TEST_F(PrinterText, ADomainTemplateBreaksIntoPagesAndNothingRunsOffThePage) {
    Record r = EmptyRecord(RecordKind::Domain);
    r.text["DomainNameEdit"] = "example.com";
    const QStringList lines = DomainFormLines(r, "Processed today");
    ASSERT_EQ(lines.size(), 222);
    TPrinterText device(pdf);
    device.SetFont(Courier());
    for (const QString& line : lines)
        device.WriteLine(line);
    device.Close();
    EXPECT_GE(device.Pages(), 2);
    for (const auto& piece : device.Pieces())
        EXPECT_LE(piece.y + piece.height, device.Height()) << piece.text.toStdString();
    EXPECT_EQ(device.Pieces().back().page + 1, device.Pages());
    EXPECT_EQ(device.Pieces().back().text, "END OF AGREEMENT");
    EXPECT_EQ(PdfPages(dir.file("out.pdf")), device.Pages());
}

TEST_F(PrinterText, APageEndsWhenTheNextLineIsWithinTwoLineHeightsOfItsBottom) {
    TPrinterText device(pdf);
    device.SetFont(Courier());
    for (int i = 0; i < 300; ++i)
        device.WriteLine(QString("line %1").arg(i));
    device.Close();
    const int h = QFontMetrics(Courier(), &pdf).height();
    const int perPage = (device.Height() - 2 * h) / (h + 2) + 1;
    for (const auto& piece : device.Pieces()) {
        const int index = piece.text.mid(5).toInt();
        EXPECT_EQ(piece.page, index / perPage) << index;
        EXPECT_EQ(piece.y, (index % perPage) * (h + 2)) << index;
    }
    EXPECT_EQ(device.Pages(), (300 + perPage - 1) / perPage);
}

TEST_F(PrinterText, TextAfterManyEmptyLinesStillLandsOnAPage) {
    TPrinterText device(pdf);
    device.SetFont(Courier());
    const int height = QFontMetrics(Courier(), &pdf).height();
    // Empty lines record no height, so they alone never break the page before its very end.
    const int empties = device.Height() / height;
    for (int i = 0; i < empties; ++i)
        device.WriteLine("");
    device.WriteLine("last");
    device.Close();
    ASSERT_EQ(device.Pieces().size(), 1u);
    const auto& last = device.Pieces()[0];
    EXPECT_LE(last.y + last.height, device.Height());
}

TEST_F(PrinterText, PrintingAnEmptyHolderMakesAJobWithoutLines) {
    PrintLines(pdf, Courier(), {});
    const QString text = PdfText(dir.file("out.pdf"));
    EXPECT_TRUE(text.trimmed().isEmpty()) << text.toStdString();
    EXPECT_EQ(PdfPages(dir.file("out.pdf")), 1);
}

TEST_F(PrinterText, ADeviceThatCannotBeOpenedRaisesTheFileError) {
    QPdfWriter nowhere(dir.file("missing/out.pdf"));
    try {
        TPrinterText device(nowhere);
        FAIL() << "opened";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message(), "Invalid filename");
    }
}

TEST_F(PrinterText, APrintedTemplateReadsBackFromThePdf) {
    Record r = EmptyRecord(RecordKind::Host);
    r.text["HostName"] = "ns1.example.com";
    r.text["HCMail"] = "hostmaster@example.com";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.file("host.pdf"));
    PrintLines(printer, Courier(), HostFormLines(r, "Processed today"));
    const QString text = PdfText(dir.file("host.pdf"));
    EXPECT_TRUE(text.contains("Host Version Number: 1.0"));
    EXPECT_TRUE(text.contains("1b. Host Name..................: ns1.example.com"));
    EXPECT_TRUE(text.contains("2l. E-Mailbox..................: hostmaster@example.com"));
    EXPECT_EQ(PdfPages(dir.file("host.pdf")), 1);
}
