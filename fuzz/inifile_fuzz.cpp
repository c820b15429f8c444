// The INI reader and writer on any file: reading never fails; writing a key, then reading it,
// gives the value written, and every other line of the file is left byte for byte.
#include "fuzzinput.h"
#include "store/inifile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

namespace {
const QString& IniPath() {
    static QTemporaryDir folder;
    static const QString path = folder.filePath("fuzz.ini");
    return path;
}

// The file's lines (text without line ends; CR LF, LF or a lone CR end a line).
std::vector<QByteArray> Lines(const QByteArray& bytes) {
    std::vector<QByteArray> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        lines.push_back(bytes.mid(start, end - start));
        if (end == bytes.size()) break;
        start = end +
                ((bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

// Whether `after` is `before` with one line replaced, or one or two lines inserted in one place.
bool OnlyOnePlaceChanged(const std::vector<QByteArray>& before,
                         const std::vector<QByteArray>& after) {
    size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const size_t removed = before.size() - prefix - suffix, added = after.size() - prefix - suffix;
    return removed <= 1 && added <= 2 && (removed == 0 || added == 1);
}

// A value that reads back as written: valid UTF-8 without line breaks, NULs, surrounding blanks
// or enclosing quotes, within the read limit.
QString UsableValue(QByteArray raw) {
    QString value = QString::fromUtf8(raw.left(200));
    value.remove('\r').remove('\n').remove(QChar(0));
    for (;;) {
        QString cleaner = value.trimmed();
        if (cleaner.startsWith('"') || cleaner.startsWith('\'')) cleaner.remove(0, 1);
        if (cleaner == value) return value;
        value = cleaner;
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    static const char* const sections[] = {"Domain", "domain", "Setup", "New Section"};
    static const char* const keys[] = {"Name", "name", "EMail Address", "Key"};
    const QString section = sections[input.Byte() % 4], key = keys[input.Byte() % 4];
    const QString value = UsableValue(input.Bytes(input.Byte()));
    const QByteArray before = input.Rest();

    QFile file(IniPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(before);
    file.close();

    TIniFile ini(IniPath());
    ini.ReadString(section, key, "fallback");
    try {
        ini.WriteString(section, key, value);
    } catch (const EIniFileError&) {
        PropertyFailed("a valid key and value were refused", before);
    }
    if (ini.ReadString(section, key, "fallback") != value)
        PropertyFailed("the value read back differs", ini.ReadString(section, key, "").toUtf8(),
                       value.toUtf8());
    QFile written(IniPath());
    written.open(QIODevice::ReadOnly);
    const QByteArray after = written.readAll();
    if (!OnlyOnePlaceChanged(Lines(before), Lines(after)))
        PropertyFailed("lines other than the key's changed", after, before);
    return 0;
}
