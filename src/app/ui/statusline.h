#pragma once
// The status line of each registration page: a read-only line that looks and reads as a status
// bar. Assistive technology meets a status bar named by its text, told once per change (a text
// field would report each change as a deletion, an insertion and a caret move). Text too long for
// the line is cut with "..." and shown whole in its tool tip; the line takes the focus (the mail
// buttons leave it there while they are disabled during a send).
#include "templates/recordmodel.h"

#include <QLabel>
#include <QString>

class TForm1;
struct TRecordPage;

class TStatusLine : public QLabel {
    Q_OBJECT
public:
    explicit TStatusLine(QWidget* parent = nullptr);
    // Shows `text`: one accessibility event and one textChanged per change, none when unchanged.
    void setText(const QString& text);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void textChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateToolTip();
};

// The status line of a page and its text; a page without one shows nothing and reads empty.
void ShowStatus(const TRecordPage& page, const QString& text);
QString StatusText(const TRecordPage& page);
// The same by the window's page of a kind.
TStatusLine* StatusLine(const TForm1& form, RecordKind page);
void ShowStatus(TForm1& form, RecordKind page, const QString& text);
QString StatusText(const TForm1& form, RecordKind page);
