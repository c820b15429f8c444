// The CRYPT-PW scheme's "Make..." buttons: each shows only while its password field is open under
// CRYPT-PW (scheme picked from the list, action radios clicked), and its dialog puts a crypt(3)
// hash of the typed password into the field, the same hash Debian's mkpasswd makes with its salt.
#include "editing/ui/cryptdlg.h"
#include "support/process.h"
#include "support/ui/formdriver.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
bool Shown(FormDriver& d, const QString& button) {
    return d.Widget(button).isVisible();
}

// What mkpasswd makes of `password` with the salt `hash` starts with.
QString Mkpasswd(const QString& hash, const QByteArray& password) {
    const bool md5 = hash.startsWith("$1$");
    const QString salt = md5 ? hash.section('$', 2, 2) : hash.left(2);
    const ProcessResult r =
        RunProgram("mkpasswd", {"-m", md5 ? "md5crypt" : "descrypt", "-S", salt, "--stdin"}, {},
                   password + "\n");
    return QString::fromUtf8(r.out).trimmed();
}
} // namespace

TEST(CryptButtonUi, EachMakeButtonShowsOnlyWhileItsFieldIsOpenUnderCryptPw) {
    FormDriver d;
    EXPECT_FALSE(Shown(d, "MakeCryptButton"));
    d.Pick("AuthScheme", "CRYPT-PW");
    EXPECT_TRUE(Shown(d, "MakeCryptButton"));
    d.Pick("AuthScheme", "PGP");
    EXPECT_FALSE(Shown(d, "MakeCryptButton"));
    d.Pick("AuthScheme", "CRYPT-PW");
    EXPECT_TRUE(Shown(d, "MakeCryptButton"));
    d.Pick("AuthScheme", "MAIL-FROM");
    EXPECT_FALSE(Shown(d, "MakeCryptButton"));

    d.Pick("HostAuthScheme", "CRYPT-PW");
    EXPECT_TRUE(Shown(d, "HostMakeCryptButton"));
    d.Pick("HostAuthScheme", "MAIL-FROM");
    EXPECT_FALSE(Shown(d, "HostMakeCryptButton"));

    // A new contact's authorization fields are closed; Modify opens them.
    d.Click("ModifyContactRadio");
    d.Pick("ContactAuthorizationType", "CRYPT-PW");
    EXPECT_TRUE(Shown(d, "ContactMakeCryptButton"));
    d.Click("NewContactRadio");
    EXPECT_FALSE(Shown(d, "ContactMakeCryptButton"));

    // The contact's authentication info is an encrypted password under CRYPT-PW only.
    EXPECT_FALSE(Shown(d, "ContactAuthMakeCryptButton"));
    d.Pick("ContactAuthenticationType", "CRYPT-PW");
    EXPECT_TRUE(Shown(d, "ContactAuthMakeCryptButton"));
    d.Pick("ContactAuthenticationType", "PGP");
    EXPECT_FALSE(Shown(d, "ContactAuthMakeCryptButton"));
}

TEST(CryptButtonUi, TheDialogPutsTheHashOfTheTypedPasswordIntoTheField) {
    FormDriver d;
    for (const auto& [method, length] : {std::pair{0, 13}, std::pair{1, 34}}) {
        d.Pick("AuthScheme", "CRYPT-PW");
        bool okBeforeRepeat = true, okWhenDifferent = true;
        WhenModal::Next<TCryptDlg>([&](TCryptDlg& dialog) {
            QTest::keyClicks(dialog.PasswordEdit, "s3cret pw");
            okBeforeRepeat = dialog.OKButton->isEnabled();
            QTest::keyClicks(dialog.RepeatEdit, "s3cret pX");
            okWhenDifferent = dialog.OKButton->isEnabled();
            QTest::keyClick(dialog.RepeatEdit, Qt::Key_Backspace);
            QTest::keyClicks(dialog.RepeatEdit, "w");
            if (method == 1) PickFromList(*dialog.MethodBox, "MD5 crypt ($1$)");
            QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
        });
        d.Click("MakeCryptButton");
        EXPECT_FALSE(okBeforeRepeat);
        EXPECT_FALSE(okWhenDifferent);
        const QString hash = d.Text("AuthInfoEdit");
        EXPECT_EQ(hash.size(), length) << hash.toStdString();
        EXPECT_EQ(hash, Mkpasswd(hash, "s3cret pw"));
        EXPECT_EQ(method == 1, hash.startsWith("$1$"));
    }

    // Cancel leaves the field as it was.
    const QString before = d.Text("AuthInfoEdit");
    WhenModal::Next<TCryptDlg>([](TCryptDlg& dialog) {
        QTest::keyClicks(dialog.PasswordEdit, "other");
        QTest::keyClicks(dialog.RepeatEdit, "other");
        QTest::mouseClick(dialog.CancelButton, Qt::LeftButton);
    });
    d.Click("MakeCryptButton");
    EXPECT_EQ(d.Text("AuthInfoEdit"), before);
}

TEST(CryptButtonUi, TheContactsAuthenticationMakeButtonMakesAnyOfTheFourHashes) {
    FormDriver d;
    d.Pick("ContactAuthenticationType", "CRYPT-PW");
    QStringList methods;
    QString longNote, tooLongNote;
    bool okWhenTooLong = true;
    WhenModal::Next<TCryptDlg>([&](TCryptDlg& dialog) {
        for (int i = 0; i < dialog.MethodBox->count(); ++i)
            methods << dialog.MethodBox->itemText(i);
        QTest::keyClicks(dialog.PasswordEdit, "password-and-more");
        QTest::keyClicks(dialog.RepeatEdit, "password-and-more");
        longNote = dialog.MethodNote->text();
        QTest::keyClicks(dialog.PasswordEdit, QString(500, 'x'));
        QTest::keyClicks(dialog.RepeatEdit, QString(500, 'x'));
        okWhenTooLong = dialog.OKButton->isEnabled();
        tooLongNote = dialog.MethodNote->text();
        dialog.PasswordEdit->selectAll();
        QTest::keyClicks(dialog.PasswordEdit, "s3cret pw");
        dialog.RepeatEdit->selectAll();
        QTest::keyClicks(dialog.RepeatEdit, "s3cret pw");
        PickFromList(*dialog.MethodBox, "bcrypt ($2b$)");
        QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    });
    d.Click("ContactAuthMakeCryptButton");
    EXPECT_EQ(methods, QStringList({"Traditional crypt", "MD5 crypt ($1$)", "SHA-512 crypt ($6$)",
                                    "bcrypt ($2b$)"}));
    EXPECT_EQ(longNote, "Traditional crypt: only the first 8 characters count.");
    EXPECT_FALSE(okWhenTooLong);
    EXPECT_EQ(tooLongNote, "The password is too long (at most 512 bytes).");
    const QString hash = d.Text("ContactAuthenticationInfo");
    EXPECT_TRUE(hash.startsWith("$2b$12$")) << hash.toStdString();
    const ProcessResult python =
        RunProgram("/usr/bin/python3",
                   {"-W", "ignore", "-c",
                    "import crypt, sys; print(crypt.crypt('s3cret pw', sys.argv[1]))", hash});
    EXPECT_EQ(QString::fromUtf8(python.out).trimmed(), hash);
}
