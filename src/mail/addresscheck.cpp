#include "mail/addresscheck.h"

#include "mail/msmsg.h"
#include "platform/idna.h"

namespace {
// Why `address` cannot be used, or nothing.
QString Problem(const QString& address, QString& wire) {
    for (QChar c : address) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.category() == QChar::Other_Control ||
            c.category() == QChar::Other_Format)
            return "it holds a control character.";
        if (c.isSpace()) return "it holds a blank.";
        if (c == '<' || c == '>') return "it holds \"<\" or \">\".";
        if (c == '(' || c == ')') return "it holds \"(\" or \")\".";
        if (c == ',') return "it holds \",\".";
        if (c == ';') return "it holds \";\".";
    }
    const qsizetype at = address.indexOf('@');
    if (at <= 0 || at != address.lastIndexOf('@') || at == address.size() - 1)
        return "it is not of the form local@domain.";
    const QString local = address.left(at);
    const QString domain = address.mid(at + 1);
    if (!IsAscii(local)) return "its part before \"@\" holds letters that are not ASCII.";
    if (IsAscii(domain)) {
        wire = address;
        return QString();
    }
    QString reason;
    const std::optional<QString> label = ToALabel(domain, &reason);
    if (!label) return "its domain is not a valid international domain name: " + reason + ".";
    wire = local + '@' + *label;
    return QString();
}

// The address as the error text shows it: a control character could hide what follows it.
QString Shown(QString address) {
    for (QChar& c : address)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.category() == QChar::Other_Control)
            c = QChar(0xFFFD);
    return address;
}
} // namespace

QString CheckedMailAddress(const QString& address) {
    if (address.isEmpty()) return address;
    QString wire;
    const QString problem = Problem(address, wire);
    if (!problem.isEmpty())
        throw EMessageError("The address " + Shown(address) + " cannot be used: " + problem);
    return wire;
}
