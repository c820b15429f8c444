#include "decor/pvlurl.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

namespace {
// The value of `key` in group `group` of a desktop-entry style file, or empty.
QString ReadKey(const QString& path, const QString& group, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QTextStream in(&file);
    bool inGroup = false;
    while (!in.atEnd()) {
        QString line = in.readLine().trimmed();
        if (line.startsWith('[')) {
            inGroup = line == '[' + group + ']';
            continue;
        }
        if (!inGroup) continue;
        int eq = line.indexOf('=');
        if (eq > 0 && line.left(eq).trimmed() == key) return line.mid(eq + 1).trimmed();
    }
    return {};
}

QStringList ConfigDirs() {
    return QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
}

QStringList ApplicationDirs() {
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

// The desktop entry registered as default for the first of `types` that has one in the
// mimeapps lists, or empty.
QString DefaultEntryFor(const QStringList& types) {
    QStringList lists;
    for (const QString& d : ConfigDirs())
        lists << QDir(d).filePath("mimeapps.list");
    for (const QString& d : ApplicationDirs())
        lists << QDir(d).filePath("mimeapps.list");
    for (const QString& type : types)
        for (const QString& list : lists) {
            QString entries = ReadKey(list, "Default Applications", type);
            QString first = entries.section(';', 0, 0).trimmed();
            if (!first.isEmpty()) return first;
        }
    return {};
}
} // namespace

namespace {
bool IsPlaceholder(QChar code) {
    return code == '1' || code == 'u' || code == 'U' || code == 'f' || code == 'F';
}

// The other field codes of a desktop entry's Exec line (icon, name, entry file, and the
// deprecated ones): they expand to nothing here.
bool IsOtherFieldCode(QChar code) {
    return QStringLiteral("ickdDnNvm").contains(code);
}

// Where the address goes: before the first placeholder in double quotes (the quotes go with it),
// else before the first bare one; -1 when there is none. "%%" is an escaped percent sign.
qsizetype PlaceholderCut(const QString& command) {
    qsizetype bare = -1;
    for (qsizetype i = 0; i + 1 < command.size(); ++i) {
        if (command[i] != '%') continue;
        const QChar code = command[i + 1];
        if (IsPlaceholder(code)) {
            const bool quoted =
                i > 0 && command[i - 1] == '"' && i + 2 < command.size() && command[i + 2] == '"';
            if (quoted) return i - 1;
            if (bare < 0) bare = i;
        }
        ++i; // the code, or the second "%" of "%%", is taken
    }
    return bare;
}

// "%%" becomes "%", and the other field codes are dropped.
QString WithoutFieldCodes(const QString& command) {
    QString result;
    for (qsizetype i = 0; i < command.size(); ++i) {
        if (command[i] == '%' && i + 1 < command.size()) {
            const QChar code = command[i + 1];
            if (code == '%' || IsOtherFieldCode(code)) {
                if (code == '%') result += '%';
                ++i;
                continue;
            }
        }
        result += command[i];
    }
    return result;
}
} // namespace

QString BrowserCommandLine(const QString& registered, const QString& url) {
    const qsizetype cut = PlaceholderCut(registered);
    return WithoutFieldCodes(cut < 0 ? registered : registered.left(cut)) + ' ' + url;
}

namespace {
QString DefaultCommandFor(const QStringList& types) {
    QString entry = DefaultEntryFor(types);
    if (entry.isEmpty()) return {};
    for (const QString& d : ApplicationDirs()) {
        QString path = QDir(d).filePath(entry);
        if (QFile::exists(path)) return ReadKey(path, "Desktop Entry", "Exec");
    }
    return {};
}
} // namespace

QString DefaultBrowserCommand() {
    return DefaultCommandFor({"x-scheme-handler/http", "text/html"});
}

QString DefaultFolderCommand() {
    // A browser shows a folder too, where no file manager is registered.
    const QString manager = DefaultCommandFor({"inode/directory"});
    return manager.isEmpty() ? DefaultBrowserCommand() : manager;
}

void TpvlUrl::Execute() const {
    // UrlShowCommand is not handed on: a process started here learns its window state from no
    // standard channel (the desktop's startup notification and activation tokens carry none, and
    // each browser has options of its own), so the browser's own window rules apply.
    QString registered = RegisteredCommand ? RegisteredCommand() : DefaultBrowserCommand();
    if (registered.trimmed().isEmpty()) return;
    QStringList words = QProcess::splitCommand(BrowserCommandLine(registered, url_));
    if (words.isEmpty() || !QProcess::startDetached(words.takeFirst(), words))
        throw Exception("Couldn't launch default browser");
}
