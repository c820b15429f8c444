#include "mail/addresscheck.h"

#include "mail/msmsg.h"
#include "platform/idna.h"
#include "platform/result.h"

namespace {
// The address as it goes on the wire (its domain as A-labels), or why it cannot be used.
Result<QString> WireAddress(const QString& address) {
    for (QChar c : address) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.category() == QChar::Other_Control ||
            c.category() == QChar::Other_Format)
            return Fail("it holds a control character.");
        if (c.isSpace()) return Fail("it holds a blank.");
        if (c == '<' || c == '>') return Fail("it holds \"<\" or \">\".");
        if (c == '(' || c == ')') return Fail("it holds \"(\" or \")\".");
        if (c == ',') return Fail("it holds \",\".");
        if (c == ';') return Fail("it holds \";\".");
    }
    const qsizetype at = address.indexOf('@');
    if (at <= 0 || at != address.lastIndexOf('@') || at == address.size() - 1)
        return Fail("it is not of the form local@domain.");
    const QString local = address.left(at);
    const QString domain = address.mid(at + 1);
    if (!IsAscii(local)) return Fail("its part before \"@\" holds letters that are not ASCII.");
    if (IsAscii(domain)) return address;
    QString reason;
    const std::optional<QString> label = ToALabel(domain, &reason);
    if (!label) return Fail("its domain is not a valid international domain name: " + reason + ".");
    return local + '@' + *label;
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
    const Result<QString> wire = WireAddress(address);
    if (!wire)
        throw EMessageError("The address " + Shown(address) + " cannot be used: " + wire.Error());
    return *wire;
}
