#include "store/setupsettings.h"
#include "support/ui/formdriver.h"

#include <QCoreApplication>
#include <QFile>
#include <gtest/gtest.h>

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
