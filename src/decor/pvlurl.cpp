#include "decor/pvlurl.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
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

// The desktop entry registered as default for web pages in the mimeapps lists, or empty.
QString DefaultBrowserEntry() {
    QStringList lists;
    for (const QString& d : ConfigDirs())
        lists << QDir(d).filePath("mimeapps.list");
    for (const QString& d : ApplicationDirs())
        lists << QDir(d).filePath("mimeapps.list");
    for (const char* type : {"x-scheme-handler/http", "text/html"})
        for (const QString& list : lists) {
            QString entries = ReadKey(list, "Default Applications", type);
            QString first = entries.section(';', 0, 0).trimmed();
            if (!first.isEmpty()) return first;
        }
    return {};
}
} // namespace

QString BrowserCommandLine(const QString& registered, const QString& url) {
    static const QRegularExpression quoted(R"("%[uUfF]")");
    static const QRegularExpression bare(R"(%[uUfF])");
    QString command = registered;
    QRegularExpressionMatch m = quoted.match(command);
    if (!m.hasMatch()) m = bare.match(command);
    if (m.hasMatch()) command.truncate(m.capturedStart());
    return command + ' ' + url;
}

QString DefaultBrowserCommand() {
    QString entry = DefaultBrowserEntry();
    if (entry.isEmpty()) return {};
    for (const QString& d : ApplicationDirs()) {
        QString path = QDir(d).filePath(entry);
        if (QFile::exists(path)) return ReadKey(path, "Desktop Entry", "Exec");
    }
    return {};
}

void TpvlUrl::Execute() const {
    // The show state has no counterpart for a detached process here; the browser's own window
    // rules apply.
    QString registered = RegisteredCommand ? RegisteredCommand() : DefaultBrowserCommand();
    if (registered.trimmed().isEmpty()) return;
    QStringList words = QProcess::splitCommand(BrowserCommandLine(registered, url_));
    if (words.isEmpty() || !QProcess::startDetached(words.takeFirst(), words))
        throw Exception("Couldn't launch default browser");
}
