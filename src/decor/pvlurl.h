#pragma once
// Opens a web address in the user's default web browser: the command the desktop has registered
// for web pages, with the address in place of its placeholder, started as a new process.
#include "platform/exception.h"

#include <QObject>
#include <QString>
#include <functional>

enum TUrlShowCmd {
    ssHide,
    ssMaximize,
    ssMinimize,
    ssRestore,
    ssShow,
    ssShowDefault,
    ssShowMaximized,
    ssShowMinimized,
    ssShowMinNoActivate,
    ssShowNA,
    ssShowNoActivate,
    ssShowNormal,
};

// A component owned by its window; creation leaves UrlShowCommand at ssShowDefault.
class TpvlUrl : public QObject {
public:
    explicit TpvlUrl(QObject* owner = nullptr) : QObject(owner) {}

    TUrlShowCmd UrlShowCommand() const { return showCommand_; }
    void SetUrlShowCommand(TUrlShowCmd c) { showCommand_ = c; }
    const QString& Url() const { return url_; }
    void SetUrl(const QString& url) { url_ = url; }

    // Opens Url. Silent when no browser is registered; raises "Couldn't launch default browser"
    // when the browser cannot be started.
    void Execute() const;

    // Where the registered command comes from; the desktop's default browser unless replaced
    // (tests replace it). An empty result means no browser is registered.
    std::function<QString()> RegisteredCommand;

private:
    TUrlShowCmd showCommand_ = ssShowDefault;
    QString url_;
};

// The command line to start: the registered command cut just before its first address
// placeholder ("%1", or a desktop entry's "%u", "%U", "%f", "%F"; one in double quotes is looked
// for first, and the quotes go with it), then one blank and the address. A command without
// placeholder gets them appended whole. In what is kept, "%%" becomes "%" and the desktop entry's
// other field codes ("%i", "%c", "%k" and the deprecated ones) are dropped.
QString BrowserCommandLine(const QString& registered, const QString& url);

// The desktop's default web browser's command (its desktop entry's Exec line), or empty.
QString DefaultBrowserCommand();
// The desktop's file manager's command (the default for folders), else the browser's, or empty.
QString DefaultFolderCommand();
