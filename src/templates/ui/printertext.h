#pragma once
// The printer as a text device: lines of text laid out from the top-left corner of the printable
// area with tab stops, one-character-at-a-time wrapping and page breaks, in the device's own units.
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <vector>

class QPagedPaintDevice;

class TPrinterText {
public:
    // Where a piece of text was drawn, for checking the layout.
    struct Piece {
        int page; // from 0
        int x, y; // top-left corner of the piece
        int height;
        QString text;
    };

    // Opens the device (this starts a printer's job). A device that cannot be opened raises the
    // file error of the failure.
    explicit TPrinterText(QPagedPaintDevice& device);
    ~TPrinterText();

    void SetFont(const QFont& font);
    // Draws text at the current position; tabs move to the next stop.
    void Write(const QString& text);
    // Draws text and ends the line.
    void WriteLine(const QString& text);
    // Ends the job and hands it to the device; a failure raises the file error.
    void Close();

    const std::vector<Piece>& Pieces() const { return pieces_; }
    int Pages() const { return page_ + 1; }
    int TabWidth() const;
    int Width() const;
    int Height() const;

private:
    QFontMetrics Metrics() const;
    void DrawPiece(QString text);
    void Tab();
    void NewLine();
    void NewPage();

    QPagedPaintDevice& device_;
    QPainter painter_;
    QFont font_;
    int x_ = 0, y_ = 0, page_ = 0;
    int lineHeight_ = 0; // tallest text drawn on the current line; 0 while none
    std::vector<Piece> pieces_;
};
