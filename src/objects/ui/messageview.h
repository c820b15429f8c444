#pragma once
// "Show Message": the message of objects as it will be mailed, read-only and monospace.
#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

class TMessageView : public QDialog {
    Q_OBJECT
public:
    TMessageView(const QStringList& lines, QWidget* parent = nullptr);
    QPlainTextEdit* Text;
};
