#include "formdriver.h"
#include "store/setupsettings.h"

#include <QCoreApplication>
#include <QFile>
#include <gtest/gtest.h>

namespace {
// Puts a settings file beside the program for one test and takes it away again, putting back
// whatever was there before.
class SettingsFileForTest {
public:
    explicit SettingsFileForTest(const QByteArray& content)
        : path_(SettingsFileFor(QCoreApplication::applicationFilePath())) {
        QFile old(path_);
        if (old.open(QIODevice::ReadOnly)) previous_ = old.readAll(), hadOne_ = true;
        WriteAll(path_, content);
    }
    ~SettingsFileForTest() {
        if (hadOne_)
            WriteAll(path_, previous_);
        else
            QFile::remove(path_);
    }

private:
    QString path_;
    QByteArray previous_;
    bool hadOne_ = false;
};
} // namespace

TEST(StartupUi, SavedCryptPwSchemeIsShownWithoutOpeningItsField) {
    SettingsFileForTest settings("[DomainReg]\r\nAuthScheme=CRYPT-PW\r\nAuthInfo=old\r\n");
    FormDriver d;
    EXPECT_EQ(d.Text("AuthScheme"), "CRYPT-PW");
    EXPECT_EQ(d.Text("AuthInfoEdit"), "old");
    EXPECT_FALSE(d.IsOpen("AuthInfoEdit"));
    EXPECT_EQ(d.Caption("AuthInfoEditLabel"), "Authorization Info");
    // The user's next pick is what relabels it.
    d.Pick("AuthScheme", "CRYPT-PW");
    EXPECT_TRUE(d.IsOpen("AuthInfoEdit"));
    EXPECT_EQ(d.Caption("AuthInfoEditLabel"), "Password");
}
