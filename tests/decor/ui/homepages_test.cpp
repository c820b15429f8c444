// The Help menu's two home-page items open their addresses in the desktop's default browser.
#include "app/ui/form1.h"
#include "platform/messageboxes.h"
#include "support/tempdir.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {
// A desktop whose default browser is a script that writes its arguments into a file.
struct RecordingBrowser {
    QTemporaryDir config, data, bin;
    QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME"), oldData = qgetenv("XDG_DATA_HOME");
    QString out = bin.filePath("args.txt");
    RecordingBrowser() {
        const QString script = bin.filePath("browser.sh");
        WriteAll(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + out.toUtf8() +
                             ".tmp\" && mv \"" + out.toUtf8() + ".tmp\" \"" + out.toUtf8() +
                             "\"\n");
        QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        WriteAll(config.filePath("mimeapps.list"),
                 "[Default Applications]\nx-scheme-handler/http=web.desktop;\n"
                 "x-scheme-handler/https=web.desktop;\n");
        QDir(data.path()).mkpath("applications");
        WriteAll(data.filePath("applications/web.desktop"),
                 "[Desktop Entry]\nName=Web\nExec=" + script.toUtf8() + " %u\n");
    }
    ~RecordingBrowser() {
        qputenv("XDG_CONFIG_HOME", oldConfig);
        qputenv("XDG_DATA_HOME", oldData);
    }
    // The arguments of the browser's next start; empty after ten seconds without one.
    QByteArray NextStart() {
        QElapsedTimer clock;
        clock.start();
        while (!QFile::exists(out) && clock.elapsed() < 10000)
            QThread::msleep(20);
        QByteArray args = ReadAll(out);
        QFile::remove(out);
        return args;
    }
};
} // namespace

TEST(HomePages, EachMenuItemOpensItsAddress) {
    auto boxes = std::make_shared<ScriptedBoxes>();
    SetBoxes(boxes);
    RecordingBrowser browser;
    TForm1 form;
    auto* regiscribe = form.findChild<QAction*>("RegiscribeHomePage1");
    auto* quillmark = form.findChild<QAction*>("QuillmarkHomePage1");
    ASSERT_TRUE(regiscribe && quillmark);

    regiscribe->trigger();
    EXPECT_EQ(browser.NextStart(), "https://regiscribe.example/\n");
    quillmark->trigger();
    EXPECT_EQ(browser.NextStart(), "https://quillmark.example/\n");
    EXPECT_TRUE(boxes->Texts("error").isEmpty());
}
