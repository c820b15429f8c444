#pragma once
// Printing a text holder's lines: the print dialog, then the lines through the text device.
#include <QFont>
#include <QStringList>
#include <functional>

class QPagedPaintDevice;
class QPlainTextEdit;
class QPrintDialog;

// A text holder's lines; an empty holder has none.
QStringList HolderLines(const QPlainTextEdit& holder);

// Opens the device, sets the font, writes each line as one text line and closes the device.
void PrintLines(QPagedPaintDevice& device, const QFont& font, const QStringList& lines);

// Runs the print dialog; true when the user chose to print. Tests replace it to answer the
// dialog themselves.
std::function<bool(QPrintDialog&)>& PrintDialogRunner();
