#include "platform/idna.h"

#include "platform/idnabackend.h"
#include "platform/idnarules.h"
#include "platform/ipaddress.h"
#include "platform/module.h"

#include <QStringList>

namespace {
// The IDNA module, loaded at the first name that needs it.
Result<IdnaBackend*> Backend() {
    Result<IdnaBackend*> backend =
        SharedModuleInterface<IdnaBackend>(IdnaModuleName, IdnaModuleEntry);
    if (!backend) return Fail("international names cannot be converted: " + backend.Error());
    return backend;
}

Result<QString> LibraryToAscii(IdnaBackend& backend, const QString& name) {
    QByteArray out;
    QString problem;
    // The host-name rules are checked on the result: the library's own check deletes what it
    // should refuse.
    if (!backend.ToAscii(name.toUtf8(), false, out, problem)) return Fail(problem);
    return QString::fromUtf8(out);
}

Result<QString> LibraryToUnicode(IdnaBackend& backend, const QString& name) {
    QByteArray out;
    QString problem;
    if (!backend.ToUnicode(name.toUtf8(), out, problem)) return Fail(problem);
    return QString::fromUtf8(out);
}

bool IsAceLabel(const QString& label) {
    return label.startsWith("xn--", Qt::CaseInsensitive);
}

// The Unicode form of the labels as the user wrote them: an "xn--" label (after UTS #46's mapping,
// which may have made one) decoded, the others as typed.
Result<QStringList> WrittenLabels(IdnaBackend& backend, const QStringList& labels) {
    QStringList written;
    for (const QString& label : labels) {
        const QString mapped = ComparableForm(label).normalized(QString::NormalizationForm_KC);
        if (!IsAscii(mapped) || !IsAceLabel(mapped)) {
            written << label;
            continue;
        }
        const Result<QString> decoded = LibraryToUnicode(backend, mapped);
        if (!decoded) return Fail(decoded.Error());
        written << decoded.Value();
    }
    return written;
}

Result<QString> CheckedLength(const QString& ascii, bool root) {
    for (const QString& label : ascii.split('.'))
        if (label.size() > 63) return Fail("a label is longer than 63 characters");
    if (ascii.size() > 253) return Fail("the name is longer than 253 characters");
    return root ? ascii + "." : ascii;
}

Result<QString> Converted(const QString& typed) {
    if (typed.isEmpty()) return Fail("the name is empty");
    QString name = WithAsciiFullStops(typed);
    // A final full stop names the root: it is kept, but no other label may be empty.
    const bool root = name.size() > 1 && name.endsWith('.');
    if (root) name.chop(1);
    const QStringList labels = name.split('.');
    for (const QString& label : labels)
        if (label.isEmpty()) return Fail("it has an empty label");

    bool plain = IsAscii(name);
    for (const QString& label : labels)
        plain = plain && !IsAceLabel(label);
    if (plain) {
        for (const QString& label : labels)
            if (const Done verdict = VerifyAsciiLabel(label); !verdict)
                return Fail(verdict.Error());
        return CheckedLength(name.toLower(), root);
    }

    const Result<IdnaBackend*> backend = Backend();
    if (!backend) return Fail(backend.Error());
    const Result<QString> ascii = LibraryToAscii(**backend, name);
    if (!ascii) return Fail(ascii.Error());
    for (const QString& label : ascii->split('.'))
        if (const Done verdict = VerifyAsciiLabel(label); !verdict) return Fail(verdict.Error());
    const Result<QString> unicode = LibraryToUnicode(**backend, *ascii);
    if (!unicode) return Fail(unicode.Error());
    const QStringList ulabels = unicode->split('.');
    for (const QString& label : ulabels)
        if (const Done verdict = VerifyHyphens(label); !verdict) return Fail(verdict.Error());
    // Only UTS #46's mapping may change or drop a character.
    const Result<QStringList> written = WrittenLabels(**backend, labels);
    if (!written) return Fail(written.Error());
    if (ComparableForm(written->join('.')) != ComparableForm(*unicode))
        return Fail("converting it would change or drop some of its characters");
    if (const Done verdict = VerifyBidi(ulabels); !verdict) return Fail(verdict.Error());
    return CheckedLength(*ascii, root);
}
} // namespace

Result<QString> NameToAscii(const QString& name) {
    return Converted(name);
}

QString NotAValidName(const QString& name, const QString& reason) {
    return name + " is not a valid international name: " + reason + ".";
}

bool IsAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80) return false;
    return true;
}

std::optional<QString> ToALabel(const QString& name, QString* problem) {
    Result<QString> ascii = NameToAscii(name);
    if (!ascii) {
        if (problem) *problem = ascii.Error();
        return std::nullopt;
    }
    return std::move(ascii).Value();
}

std::optional<QString> ToULabel(const QString& name) {
    const Result<IdnaBackend*> backend = Backend();
    if (!backend || name.isEmpty()) return std::nullopt;
    const Result<QString> unicode = LibraryToUnicode(**backend, name);
    if (!unicode) return std::nullopt;
    return unicode.Value();
}

namespace {
// Whether a word of a WHOIS query is a name to check: it holds a full stop, a letter outside
// ASCII or an "xn--" label, and is no IP address or network.
bool IsName(const QString& word) {
    if (word.isEmpty() || ParseIpNetwork(word)) return false;
    if (!IsAscii(word)) return true;
    for (QChar c : word)
        if (IsLabelSeparator(c)) return true;
    return IsAceLabel(word);
}
} // namespace

std::optional<QString> QueryForWire(const QString& typed, QString* problem) {
    QStringList words = typed.split(' ');
    for (QString& word : words) {
        // A leading "=" or "!" is a server's query flag; before the last "@" is a mailbox.
        qsizetype start = 0;
        while (start < word.size() && (word[start] == '=' || word[start] == '!'))
            ++start;
        start = std::max(start, word.lastIndexOf('@') + 1);
        const QString name = word.mid(start);
        if (!IsName(name)) continue;
        const Result<QString> ascii = NameToAscii(name);
        if (!ascii) {
            if (problem) *problem = NotAValidName(name, ascii.Error());
            return std::nullopt;
        }
        // ASCII goes exactly as typed.
        if (!IsAscii(name)) word = word.left(start) + ascii.Value();
    }
    return words.join(' ');
}
