#include "app/ui/windowfont.h"

#include <QFontDatabase>
#include <QStringList>

QFont WindowFont() {
    static const QStringList preferred{"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans",
                                       "Arial",         "Nimbus Sans",          "DejaVu Sans"};
    const QStringList installed = QFontDatabase::families();
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    for (const QString& family : preferred)
        if (installed.contains(family, Qt::CaseInsensitive)) {
            font.setFamily(family);
            break;
        }
    font.setPointSize(8);
    return font;
}
