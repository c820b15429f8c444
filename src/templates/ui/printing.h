#pragma once
// Printing a text holder's lines: the print dialog, then the lines through the text device.
#include <QFont>
#include <QStringList>
#include <functional>

class QPagedPaintDevice;
class QPlainTextEdit;
class QPrintDialog;
class QPrinter;

// A text holder's lines; an empty holder has none.
QStringList HolderLines(const QPlainTextEdit& holder);

// Margins of at least PrintMarginMm on every side, and never less than the printer's own
// minimum: the text starts well inside any printer's printable area. Wider margins chosen in the
// page setup stay.
void KeepTextInsidePrintableArea(QPrinter& printer);
inline constexpr double PrintMarginMm = 15.0;

// Opens the device, sets the font, writes each line as one text line and closes the device.
void PrintLines(QPagedPaintDevice& device, const QFont& font, const QStringList& lines);

// Runs the print dialog; true when the user chose to print. Tests replace it to answer the
// dialog themselves.
std::function<bool(QPrintDialog&)>& PrintDialogRunner();
