#pragma once
// The form viewer: a separate window that shows the written domain template. The user may select,
// copy or change its text; changes are not saved. Closing it only hides it.
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

class TFormView : public QWidget {
    Q_OBJECT
public:
    explicit TFormView(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* closebtn = nullptr;

    // Replaces the memo's lines.
    void SetLines(const QStringList& lines);
    // Shows the window without blocking the main window, in front.
    void ShowViewer();

    void closebtnClick();
};
