#include "store/inifile.h"

#include "platform/atomicfile.h"

#include <QFile>
#include <QStringDecoder>
#include <vector>

namespace {
// One line of the file: its text and its line end ("\r\n", "\n", a lone "\r", or nothing at
// the end of the file).
struct Line {
    QByteArray text;
    QByteArray end;
};

std::vector<Line> SplitLines(const QByteArray& bytes) {
    std::vector<Line> lines;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    while (start < size) {
        qsizetype end = start;
        while (end < size && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        if (end == size) {
            lines.push_back({bytes.mid(start), {}});
            break;
        }
        const qsizetype endLength =
            bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n' ? 2 : 1;
        lines.push_back({bytes.mid(start, end - start), bytes.mid(end, endLength)});
        start = end + endLength;
    }
    // A byte-order mark in front of the first line is not part of its text.
    if (!lines.empty() && lines.front().text.startsWith("\xEF\xBB\xBF"))
        lines.front().text.remove(0, 3);
    return lines;
}

// The blanks trimmed around names and values: space, tab and vertical tab.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

QByteArray TrimBlanks(const QByteArray& text) {
    qsizetype from = 0, to = text.size();
    while (from < to && IsBlank(text[from]))
        ++from;
    while (to > from && IsBlank(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

// A section header's name, or false when the line is no header.
bool SectionOf(const QByteArray& text, QByteArray& name) {
    QByteArray t = TrimBlanks(text);
    if (!t.startsWith('[')) return false;
    qsizetype close = t.indexOf(']');
    name = TrimBlanks(t.mid(1, close < 0 ? -1 : close - 1));
    return true;
}

// The key and the raw value of a "key=value" line; false for blank, comment and other lines.
bool KeyOf(const QByteArray& text, QByteArray& key, QByteArray& value) {
    qsizetype eq = text.indexOf('=');
    if (eq < 0) return false;
    key = TrimBlanks(text.left(eq));
    if (key.isEmpty() || key.startsWith(';')) return false;
    value = text.mid(eq + 1);
    return true;
}

bool SameName(const QByteArray& name, const QString& wanted) {
    // Names are almost always ASCII; compare the bytes first and decode only when needed.
    if (name.size() == wanted.size()) {
        bool ascii = true;
        for (qsizetype i = 0; i < name.size() && ascii; ++i) {
            char a = name[i];
            QChar b = wanted[i];
            if (uchar(a) >= 0x80 || b.unicode() >= 0x80) {
                ascii = false;
                break;
            }
            if (QChar::toLower(char16_t(uchar(a))) != QChar::toLower(b.unicode())) return false;
        }
        if (ascii) return true;
    }
    return QString::fromUtf8(name).compare(wanted, Qt::CaseInsensitive) == 0;
}

// Blanks dropped, one pair of enclosing quotes removed, cut to the length limit without splitting
// a character.
QString CleanValue(const QByteArray& raw) {
    QByteArray v = TrimBlanks(raw);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    // Decoded as written: a value that begins with U+FEFF keeps it (the plain decoder would take
    // it for a byte-order mark and drop it).
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(v);
    if (text.size() > TIniFile::MaxValueLength) {
        qsizetype cut = TIniFile::MaxValueLength;
        if (text[cut - 1].isHighSurrogate()) --cut;
        text.truncate(cut);
    }
    return text;
}

bool ReadFile(const QString& path, QByteArray& bytes, bool& exists) {
    QFile file(path);
    exists = file.exists();
    if (!exists) return true;
    if (!file.open(QIODevice::ReadOnly)) return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

bool HoldsLineBreak(const QString& text) {
    for (QChar c : text)
        if (c == '\r' || c == '\n' || c == QChar(0)) return true;
    return false;
}
// Sets `keyName` in the first section named `sectionName` within `lines`: the key's line is
// replaced in place, a new key goes right after the section's last key line, a new section at
// the end.
void SetKey(std::vector<Line>& lines, const QString& sectionName, const QString& keyName,
            const QString& value) {
    // Find the section, its last key line (the header when it has none) and the key's line.
    qsizetype header = -1, lastKey = -1, keyLine = -1;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        QByteArray name, raw;
        if (SectionOf(lines[i].text, name)) {
            if (header >= 0) break;
            if (SameName(name, sectionName)) header = lastKey = i;
        } else if (header >= 0 && KeyOf(lines[i].text, name, raw)) {
            lastKey = i;
            if (SameName(name, keyName)) {
                keyLine = i;
                break;
            }
        }
    }

    const QByteArray crlf = "\r\n";
    if (keyLine >= 0) {
        // The key keeps its spelling and everything in front of the equals sign.
        Line& line = lines[keyLine];
        line.text = line.text.left(line.text.indexOf('=') + 1) + value.toUtf8();
        if (line.end.isEmpty()) line.end = crlf;
    } else {
        // A new key goes right after the section's last key, so comments that end the section
        // stay below it; a new section goes at the end of the file.
        Line added{keyName.toUtf8() + "=" + value.toUtf8(), crlf};
        if (header >= 0) {
            if (lines[lastKey].end.isEmpty()) lines[lastKey].end = crlf;
            lines.insert(lines.begin() + lastKey + 1, added);
        } else {
            if (!lines.empty() && lines.back().end.isEmpty()) lines.back().end = crlf;
            lines.push_back({"[" + sectionName.toUtf8() + "]", crlf});
            lines.push_back(added);
        }
    }
}
} // namespace

QString TIniFile::ReadString(const QString& section, const QString& key,
                             const QString& fallback) const {
    QByteArray bytes;
    bool exists = false;
    if (!ReadFile(path_, bytes, exists) || !exists) return fallback;
    bool inSection = false, seenSection = false;
    for (const Line& line : SplitLines(bytes)) {
        QByteArray name, value;
        if (SectionOf(line.text, name)) {
            // Only the first section of that name counts.
            if (inSection) return fallback;
            inSection = !seenSection && SameName(name, section);
            seenSection = seenSection || inSection;
        } else if (inSection && KeyOf(line.text, name, value) && SameName(name, key)) {
            return CleanValue(value);
        }
    }
    return fallback;
}

bool TIniFile::HasKey(const QString& section, const QString& key) const {
    // A value that no file could hold stands for "missing".
    const QString missing(QChar(0));
    return ReadString(section, key, missing) != missing;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) const {
    WriteStrings(section, {{key, value}});
}

void TIniFile::WriteStrings(const QString& section, const std::vector<KeyValue>& values) const {
    const QString sectionName = section.trimmed();
    if (HoldsLineBreak(section) || sectionName.contains(']')) Fail();
    for (const KeyValue& kv : values) {
        const QString keyName = kv.key.trimmed();
        if (HoldsLineBreak(kv.key) || HoldsLineBreak(kv.value) || keyName.isEmpty() ||
            keyName.contains('=') || keyName.startsWith('[') || keyName.startsWith(';'))
            Fail();
    }

    QByteArray bytes;
    bool exists = false;
    if (!ReadFile(path_, bytes, exists)) Fail();
    if (exists && !MayWriteFile(path_)) Fail();
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    std::vector<Line> lines = SplitLines(bytes);
    for (const KeyValue& kv : values)
        SetKey(lines, sectionName, kv.key.trimmed(), kv.value);

    QByteArray result = bom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    for (const Line& line : lines)
        result += line.text + line.end;
    if (exists && result == bytes) return;
    if (!ReplaceFileAtomically(path_, result)) Fail();
}

void TIniFile::Fail() const {
    throw EIniFileError(QString("Unable to write to %1").arg(path_));
}
