#include "decor/pvlurl.h"
#include "support/tempdir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

TEST(BrowserCommand, TheAddressTakesThePlaceOfThePlaceholder) {
    const QString url = "https://regiscribe.example/";
    // A quoted placeholder goes with its quotes, and what followed it is dropped.
    EXPECT_EQ(BrowserCommandLine(R"(/usr/bin/browser "%u" --new-window)", url),
              "/usr/bin/browser  " + url);
    EXPECT_EQ(BrowserCommandLine("/usr/bin/browser %U --flag", url), "/usr/bin/browser  " + url);
    EXPECT_EQ(BrowserCommandLine("browser --file %F", url), "browser --file  " + url);
    // A quoted placeholder is preferred to an earlier bare one.
    EXPECT_EQ(BrowserCommandLine(R"(b %f "%u")", url), "b %f  " + url);
    // No placeholder: blank and address after the whole command.
    EXPECT_EQ(BrowserCommandLine("/opt/web/start", url), "/opt/web/start " + url);
    // The registered command's own "%1", quoted first, then bare.
    EXPECT_EQ(BrowserCommandLine(R"("C:\Web\web.exe" -nohome "%1" -x)", url),
              R"("C:\Web\web.exe" -nohome  )" + url);
    EXPECT_EQ(BrowserCommandLine("web %1 -x", url), "web  " + url);
    EXPECT_EQ(BrowserCommandLine(R"(web %1 "%U")", url), "web %1  " + url);
    // Other field codes are dropped and "%%" is one "%"; an escaped "%%u" is no placeholder.
    EXPECT_EQ(BrowserCommandLine("web %i --class=%c --from %k --tick=%% %u", url),
              "web  --class= --from  --tick=%  " + url);
    EXPECT_EQ(BrowserCommandLine("web --literal=%%u", url), "web --literal=%u " + url);
}

namespace {
// A desktop with one default browser whose entry runs `exec`.
struct FakeDesktop {
    QTemporaryDir config, data;
    QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME"), oldData = qgetenv("XDG_DATA_HOME");
    explicit FakeDesktop(const QByteArray& exec) {
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        WriteAll(config.filePath("mimeapps.list"),
                 "[Added Associations]\ntext/html=other.desktop\n"
                 "[Default Applications]\nx-scheme-handler/http=web.desktop;other.desktop;\n");
        QDir(data.path()).mkpath("applications");
        WriteAll(data.filePath("applications/web.desktop"),
                 "[Desktop Entry]\nName=Web\nExec=" + exec + "\n[Desktop Action new]\nExec=no\n");
    }
    ~FakeDesktop() {
        qputenv("XDG_CONFIG_HOME", oldConfig);
        qputenv("XDG_DATA_HOME", oldData);
    }
};
} // namespace

TEST(BrowserCommand, ComesFromTheDesktopsDefaultBrowserEntry) {
    FakeDesktop desktop("/usr/bin/web-browser %u");
    EXPECT_EQ(DefaultBrowserCommand(), "/usr/bin/web-browser %u");
}

TEST(UrlLauncher, StartsTheBrowserWithTheAddress) {
    QTemporaryDir dir;
    QString script = dir.filePath("browser.sh");
    QString out = dir.filePath("args.txt");
    WriteAll(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + out.toUtf8() + ".tmp\" && mv \"" +
                         out.toUtf8() + ".tmp\" \"" + out.toUtf8() + "\"\n");
    QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
    FakeDesktop desktop(script.toUtf8() + " \"%u\" --ignored");

    TpvlUrl url;
    EXPECT_EQ(url.UrlShowCommand(), ssShowDefault);
    url.SetUrl("https://quillmark.example/a?b=c");
    url.Execute();
    // The browser runs on its own; look for its answer for at most ten seconds.
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(out) && clock.elapsed() < 10000)
        QThread::msleep(20);
    ASSERT_TRUE(QFile::exists(out));
    EXPECT_EQ(ReadAll(out), "https://quillmark.example/a?b=c\n");
}

TEST(UrlLauncher, IsSilentWithoutBrowserAndReportsAFailedStart) {
    TpvlUrl url;
    url.SetUrl("https://regiscribe.example/");
    url.RegisteredCommand = [] { return QString(); };
    EXPECT_NO_THROW(url.Execute());
    url.RegisteredCommand = [] { return QString("/nonexistent/browser %u"); };
    try {
        url.Execute();
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Couldn't launch default browser");
    }
}
