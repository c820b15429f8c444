#include "templates/ui/printertext.h"

#include "platform/fileerror.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <cerrno>

namespace {
// The failure's errno when the toolkit left one, otherwise a plain input/output error.
[[noreturn]] void RaiseDeviceError() {
    RaiseFileError(errno != 0 ? errno : EIO);
}
} // namespace

TPrinterText::TPrinterText(QPagedPaintDevice& device) : device_(device) {
    errno = 0;
    if (!painter_.begin(&device_)) RaiseDeviceError();
    font_ = painter_.font();
}

TPrinterText::~TPrinterText() {
    if (painter_.isActive()) painter_.end();
}

void TPrinterText::SetFont(const QFont& font) {
    font_ = font;
    painter_.setFont(font);
}

QFontMetrics TPrinterText::Metrics() const {
    return QFontMetrics(font_, &device_);
}

int TPrinterText::TabWidth() const {
    return 8 * Metrics().averageCharWidth();
}

int TPrinterText::Width() const {
    return device_.width();
}

int TPrinterText::Height() const {
    return device_.height();
}

void TPrinterText::Write(const QString& text) {
    qsizetype start = 0;
    for (;;) {
        const qsizetype tab = text.indexOf('\t', start);
        DrawPiece(text.mid(start, tab < 0 ? -1 : tab - start));
        if (tab < 0) return;
        Tab();
        start = tab + 1;
    }
}

void TPrinterText::WriteLine(const QString& text) {
    Write(text);
    NewLine();
}

void TPrinterText::Close() {
    errno = 0;
    if (painter_.isActive() && !painter_.end()) RaiseDeviceError();
}

void TPrinterText::DrawPiece(QString text) {
    const QFontMetrics metrics = Metrics();
    while (!text.isEmpty()) {
        // The longest start of the text that fits in what is left of the line: what shortening
        // it one character at a time gives, found by halving since widths only grow.
        const int room = Width() - x_;
        qsizetype n = text.size();
        if (metrics.horizontalAdvance(text) > room) {
            qsizetype fits = 0, tooLong = text.size();
            while (tooLong - fits > 1) {
                const qsizetype mid = (fits + tooLong) / 2;
                (metrics.horizontalAdvance(text.left(mid)) > room ? tooLong : fits) = mid;
            }
            n = fits;
        }
        if (n > 0 && n < text.size() && text[n - 1].isHighSurrogate()) --n;
        if (n == 0) {
            if (x_ > 0) {
                NewLine();
                continue;
            }
            n = text[0].isHighSurrogate() && text.size() > 1 ? 2 : 1; // wider than the page
        }
        // A line that would run off the bottom goes to the next page instead.
        if (y_ > 0 && y_ + metrics.height() > Height()) NewPage();
        const QString piece = text.left(n);
        painter_.drawText(QPoint(x_, y_ + metrics.ascent()), piece);
        pieces_.push_back({page_, x_, y_, metrics.height(), piece});
        x_ += metrics.horizontalAdvance(piece);
        lineHeight_ = std::max(lineHeight_, metrics.height());
        text.remove(0, n);
        if (!text.isEmpty()) NewLine();
    }
}

void TPrinterText::Tab() {
    const int stop = std::max(1, TabWidth());
    const int next = (x_ / stop + 1) * stop;
    if (next > Width())
        NewLine();
    else
        x_ = next;
}

void TPrinterText::NewLine() {
    const int recorded = lineHeight_;
    y_ += recorded > 0 ? recorded + 2 : Metrics().height();
    x_ = 0;
    lineHeight_ = 0;
    if (y_ > Height() - 2 * recorded) NewPage();
}

void TPrinterText::NewPage() {
    errno = 0;
    if (!device_.newPage()) RaiseDeviceError();
    ++page_;
    x_ = 0;
    y_ = 0;
}
