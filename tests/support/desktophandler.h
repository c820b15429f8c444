#pragma once
// A desktop whose handler for some MIME types (a browser, a file manager) is a script that writes
// the arguments of its start into a file, or a program that is not there; the desktop's own
// settings come back when it goes.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class DesktopHandler {
public:
    DesktopHandler(const QStringList& mimeTypes, bool present = true);
    ~DesktopHandler();
    DesktopHandler(const DesktopHandler&) = delete;
    DesktopHandler& operator=(const DesktopHandler&) = delete;

    // The arguments of the handler's next start; empty after ten seconds without one.
    QByteArray NextStart();

private:
    QTemporaryDir config_, data_, bin_;
    QByteArray oldConfig_, oldData_;
    QString out_;
};
