#pragma once
// The INI reader and writer with the private-profile rules: section header lines "[name]" and
// "key=value" lines, section and key names matched without regard to case. Every call opens the
// file by its path, does its one job and closes it again; nothing is cached between calls.
#include "platform/exception.h"

#include <QString>
#include <vector>

// A failed write: "Unable to write to %s" with the file's path.
REGISCRIBE_EXCEPTION(EIniFileError, Exception)

class TIniFile {
public:
    // A value read back holds at most this many characters; longer ones are cut.
    static constexpr int MaxValueLength = 1023;

    explicit TIniFile(QString path) : path_(std::move(path)) {}
    const QString& FileName() const { return path_; }

    // The value of `key` in `section`, or `fallback` when the file, the section or the key is
    // missing (or the file cannot be read). Blanks around the value are dropped, then one pair of
    // enclosing quotation marks, then the value is cut to MaxValueLength characters. The first
    // section of that name and its first line for that key count.
    QString ReadString(const QString& section, const QString& key, const QString& fallback) const;

    // Whether the file holds `key` in (the first) `section`.
    bool HasKey(const QString& section, const QString& key) const;

    // Sets `key` in `section` to `value`: the key's line is replaced in place (a last line without
    // line end gains CR LF), a new key goes right after the section's last key line, a new
    // section at the end of the file. Every other byte of the file stays as it was. Lines end in
    // CR LF, LF or a lone CR. The file is replaced atomically, so it holds
    // either the old or the new contents at every moment. A name or value that holds a line break
    // (it would split the line and corrupt the file), a file that cannot be read whole or may not
    // be written, and every failure to write raise EIniFileError and leave the file untouched.
    void WriteString(const QString& section, const QString& key, const QString& value) const;

    struct KeyValue {
        QString key;
        QString value;
    };
    // Sets several keys of one section, in order, as WriteString would one by one, but replaces
    // the file once: it then holds all of the new values or none of them. Any invalid name or
    // value refuses the whole write.
    void WriteStrings(const QString& section, const std::vector<KeyValue>& values) const;

private:
    [[noreturn]] void Fail() const;
    QString path_;
};
