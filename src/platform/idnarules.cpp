#include "platform/idnarules.h"

#include <QChar>
#include <QList>
#include <algorithm>

namespace {
// The code points that UTS #46 maps to nothing (its "ignored" ones): the soft hyphen, the
// combining grapheme joiner, the Mongolian variation selectors, the zero-width space, the word
// joiner, the invisible plus, the variation selectors and the zero-width no-break space.
bool IsIgnored(char32_t c) {
    return c == 0x00AD || c == 0x034F || (c >= 0x180B && c <= 0x180D) || c == 0x180F ||
           c == 0x200B || c == 0x2060 || c == 0x2064 || (c >= 0xFE00 && c <= 0xFE0F) ||
           c == 0xFEFF || (c >= 0x1BCA0 && c <= 0x1BCA3) || (c >= 0xE0100 && c <= 0xE01EF);
}

bool IsLdh(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-';
}

// How a character's text reads in a reason: printable ones as themselves, others by number.
QString Named(QChar c) {
    if (c.isPrint() && c != ' ') return "\"" + QString(c) + "\"";
    return "U+" + QString::number(c.unicode(), 16).toUpper().rightJustified(4, '0');
}
} // namespace

bool IsLabelSeparator(QChar c) {
    const char16_t u = c.unicode();
    return u == 0x002E || u == 0x3002 || u == 0xFF0E || u == 0xFF61;
}

QString WithAsciiFullStops(QString name) {
    for (QChar& c : name)
        if (IsLabelSeparator(c)) c = '.';
    return name;
}

Done VerifyAsciiLabel(const QString& label) {
    for (QChar c : label)
        if (!IsLdh(c)) return Fail("the character " + Named(c) + " is not allowed in a name");
    if (label.size() > 63) return Fail("a label is longer than 63 characters");
    return VerifyHyphens(label);
}

Done VerifyHyphens(const QString& ulabel) {
    if (ulabel.startsWith('-') || ulabel.endsWith('-'))
        return Fail("a label starts or ends with a hyphen");
    if (ulabel.size() >= 4 && ulabel[2] == '-' && ulabel[3] == '-' &&
        !ulabel.startsWith("xn--", Qt::CaseInsensitive))
        return Fail("a label has hyphens in its third and fourth places");
    return {};
}

Done VerifyBidi(const QStringList& ulabels) {
    QList<QList<QChar::Direction>> directions;
    bool rightToLeft = false;
    for (const QString& label : ulabels) {
        QList<QChar::Direction> d;
        for (char32_t c : label.toUcs4())
            d << QChar::direction(c);
        for (QChar::Direction x : d)
            rightToLeft |= x == QChar::DirR || x == QChar::DirAL || x == QChar::DirAN;
        directions << d;
    }
    if (!rightToLeft) return {};
    const QString broken = "it mixes right-to-left and left-to-right text in a way that can read "
                           "as another name";
    using D = QChar::Direction;
    auto any = [](const QList<D>& d, std::initializer_list<D> set) {
        for (D x : d)
            if (std::find(set.begin(), set.end(), x) != set.end()) return true;
        return false;
    };
    auto only = [](const QList<D>& d, std::initializer_list<D> set) {
        for (D x : d)
            if (std::find(set.begin(), set.end(), x) == set.end()) return false;
        return true;
    };
    for (const QList<D>& d : directions) {
        if (d.isEmpty()) continue;
        // The last character that is no combining mark decides how the label ends.
        qsizetype end = d.size();
        while (end > 0 && d[end - 1] == QChar::DirNSM)
            --end;
        if (end == 0) return Fail(broken);
        const D first = d.front(), last = d[end - 1];
        if (first == QChar::DirR || first == QChar::DirAL) {
            if (!only(d, {QChar::DirR, QChar::DirAL, QChar::DirAN, QChar::DirEN, QChar::DirES,
                          QChar::DirCS, QChar::DirET, QChar::DirON, QChar::DirBN, QChar::DirNSM}))
                return Fail(broken);
            if (last != QChar::DirR && last != QChar::DirAL && last != QChar::DirEN &&
                last != QChar::DirAN)
                return Fail(broken);
            if (any(d, {QChar::DirEN}) && any(d, {QChar::DirAN})) return Fail(broken);
        } else if (first == QChar::DirL) {
            if (!only(d, {QChar::DirL, QChar::DirEN, QChar::DirES, QChar::DirCS, QChar::DirET,
                          QChar::DirON, QChar::DirBN, QChar::DirNSM}))
                return Fail(broken);
            if (last != QChar::DirL && last != QChar::DirEN) return Fail(broken);
        } else {
            return Fail(broken);
        }
    }
    return {};
}

QString ComparableForm(const QString& text) {
    const QString folded = text.normalized(QString::NormalizationForm_KD)
                               .toCaseFolded()
                               .normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(folded.size());
    for (char32_t c : folded.toUcs4())
        if (!IsIgnored(c)) out += QString::fromUcs4(&c, 1);
    return out;
}
