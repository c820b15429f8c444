#include "templates/ui/printing.h"

#include "templates/ui/printertext.h"

#include <QPlainTextEdit>
#include <QPrintDialog>

QStringList HolderLines(const QPlainTextEdit& holder) {
    const QString text = holder.toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
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
