#include "support/desktophandler.h"

#include "support/tempdir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

DesktopHandler::DesktopHandler(const QStringList& mimeTypes, bool present)
    : oldConfig_(qgetenv("XDG_CONFIG_HOME")), oldData_(qgetenv("XDG_DATA_HOME")),
      out_(bin_.filePath("args.txt")) {
    const QString script = bin_.filePath(present ? "handler.sh" : "missing.sh");
    if (present) {
        // Written under another name first: the test never reads half a file.
        const QByteArray out = out_.toUtf8();
        WriteAll(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + out + ".tmp\" && mv \"" + out +
                             ".tmp\" \"" + out + "\"\n");
        QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
    }
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    qputenv("XDG_DATA_HOME", data_.path().toUtf8());
    QByteArray defaults = "[Default Applications]\n";
    for (const QString& type : mimeTypes)
        defaults += type.toUtf8() + "=handler.desktop;\n";
    WriteAll(config_.filePath("mimeapps.list"), defaults);
    QDir(data_.path()).mkpath("applications");
    WriteAll(data_.filePath("applications/handler.desktop"),
             "[Desktop Entry]\nName=Handler\nExec=" + script.toUtf8() + " %u\n");
}

DesktopHandler::~DesktopHandler() {
    qputenv("XDG_CONFIG_HOME", oldConfig_);
    qputenv("XDG_DATA_HOME", oldData_);
}

QByteArray DesktopHandler::NextStart() {
    QElapsedTimer clock;
    clock.start();
    // The start is no event of this program's: looked for now and then.
    while (!QFile::exists(out_) && clock.elapsed() < 10000)
        QThread::msleep(20);
    QByteArray args = ReadAll(out_);
    QFile::remove(out_);
    return args;
}
