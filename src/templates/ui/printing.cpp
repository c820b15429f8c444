#include "templates/ui/printing.h"

#include "templates/ui/printertext.h"

#include <QPageLayout>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

QStringList HolderLines(const QPlainTextEdit& holder) {
    const QString text = holder.toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

void KeepTextInsidePrintableArea(QPrinter& printer) {
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    const QMarginsF now = layout.margins(), least = layout.minimumMargins();
    auto side = [](double current, double minimum) {
        return std::max({current, minimum, PrintMarginMm});
    };
    printer.setPageMargins(QMarginsF(side(now.left(), least.left()), side(now.top(), least.top()),
                                     side(now.right(), least.right()),
                                     side(now.bottom(), least.bottom())),
                           QPageLayout::Millimeter);
}

void PrintLines(QPagedPaintDevice& device, const QFont& font, const QStringList& lines) {
    TPrinterText printer(device);
    printer.SetFont(font);
    for (const QString& line : lines)
        printer.WriteLine(line);
    printer.Close();
}

std::function<bool(QPrintDialog&)>& PrintDialogRunner() {
    static std::function<bool(QPrintDialog&)> runner = [](QPrintDialog& dialog) {
        return dialog.exec() == QDialog::Accepted;
    };
    return runner;
}
