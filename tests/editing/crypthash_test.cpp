// crypt(3) hashes for every method against Python's crypt module with the same salts, and the
// companion's warnings and refusals.
#include "editing/crypthash.h"
#include "support/process.h"
#include "support/tempdir.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {
const char kSaltChars[] = "./0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

QString RandomSalt(QRandomGenerator& random, int size) {
    QString salt;
    for (int i = 0; i < size; ++i)
        salt += kSaltChars[random.bounded(64)];
    return salt;
}

// A password of printable ASCII, blanks and characters outside ASCII (two to four UTF-8 bytes).
QByteArray RandomPassword(QRandomGenerator& random, int maxChars) {
    static const char32_t wide[] = {U'\u00e9', U'\u00df', U'\u20ac', U'\u4e2d', U'\U0001F511'};
    QString text;
    const int size = 1 + random.bounded(maxChars);
    for (int i = 0; i < size; ++i) {
        if (random.bounded(5) == 0)
            text += QString::fromUcs4(&wide[random.bounded(5)], 1);
        else
            text += QChar(char16_t(' ' + random.bounded(95)));
    }
    return text.toUtf8();
}

// What Python's crypt.crypt gives for each (password, setting).
QStringList PythonCrypt(const QList<std::pair<QByteArray, QString>>& cases) {
    ScopedWorkDir dir;
    QByteArray input;
    for (const auto& [password, setting] : cases)
        input += password.toHex() + '\t' + setting.toLatin1() + '\n';
    WriteAll(dir.file("cases"), input);
    const ProcessResult r =
        RunProgram("/usr/bin/python3",
                   {"-W", "ignore", "-c",
                    "import crypt, sys\n"
                    "for line in open(sys.argv[1]):\n"
                    "    pw, setting = line.rstrip('\\n').split('\\t')\n"
                    "    print(crypt.crypt(bytes.fromhex(pw).decode('utf-8'), setting))\n",
                    dir.file("cases")},
                   {}, {}, 120000);
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    return QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
}
} // namespace

TEST(CryptHash, TwoHundredRandomPasswordsPerMethodEqualPythonsCrypt) {
    QRandomGenerator random(20261209);
    QList<std::pair<QByteArray, QString>> cases;
    QStringList ours;
    for (CryptMethod method : AllCryptMethods()) {
        for (int i = 0; i < 200; ++i) {
            QByteArray password = RandomPassword(random, method == CryptMethod::Bcrypt ? 30 : 20);
            QString setting;
            switch (method) {
            case CryptMethod::Traditional:
                setting = RandomSalt(random, 2);
                break;
            case CryptMethod::Md5:
                setting = "$1$" + RandomSalt(random, 1 + random.bounded(8));
                break;
            case CryptMethod::Sha512:
                setting = "$6$" + RandomSalt(random, 1 + random.bounded(16));
                break;
            case CryptMethod::Bcrypt:
                // The last salt character carries 2 bits: one of those that keep them clear.
                // Cost 4 keeps 200 hashes quick; the default cost is shown below.
                setting = "$2b$04$" + RandomSalt(random, 21) + ".Oeu"[random.bounded(4)];
                break;
            }
            const Result<QString> hash = CryptHash(password, method, setting);
            ASSERT_TRUE(hash) << hash.Error().toStdString();
            ours << hash.Value();
            cases.append({password, setting});
        }
    }
    EXPECT_EQ(ours, PythonCrypt(cases));

    // Fresh salts of the documented shapes; bcrypt at cost 12 verifies in Python.
    const Result<QString> bcrypt = CryptHash("s3cret \xc3\xa9", CryptMethod::Bcrypt);
    ASSERT_TRUE(bcrypt);
    EXPECT_TRUE(bcrypt->startsWith("$2b$12$")) << bcrypt->toStdString();
    EXPECT_EQ(bcrypt->size(), 60);
    EXPECT_EQ(PythonCrypt({{"s3cret \xc3\xa9", bcrypt.Value()}}), QStringList{bcrypt.Value()});
    EXPECT_TRUE(CryptHash("pw", CryptMethod::Sha512).ValueOr("").startsWith("$6$"));
    EXPECT_NE(CryptHash("pw", CryptMethod::Md5).ValueOr("1"),
              CryptHash("pw", CryptMethod::Md5).ValueOr("2"));
}

TEST(CryptHash, RefusalsAndWarnings) {
    EXPECT_EQ(CheckCryptPassword("caf\xe9").Error(), "The password is not valid UTF-8.");
    EXPECT_EQ(CryptHash("caf\xe9", CryptMethod::Md5).Error(), "The password is not valid UTF-8.");
    EXPECT_EQ(CheckCryptPassword("\xed\xa0\x80").Error(), "The password is not valid UTF-8.")
        << "a UTF-16 surrogate is no character";
    EXPECT_EQ(CheckCryptPassword("\xc0\xaf").Error(), "The password is not valid UTF-8.")
        << "an overlong form";
    EXPECT_EQ(CheckCryptPassword(QByteArray(512, 'x')).Error(), "");
    EXPECT_EQ(CheckCryptPassword(QByteArray(513, 'x')).Error(),
              "The password is too long (at most 512 bytes).");
    EXPECT_EQ(CheckCryptPassword(QByteArray("pass\0word", 9)).Error(),
              "The password holds a NUL character.");
    EXPECT_EQ(CryptHash("pw", CryptMethod::Bcrypt, "$2b$12$tooShort").Error(),
              "A bcrypt salt is 22 of the characters ./0-9A-Za-z, after \"$2b$NN$\" (the cost, "
              "04 to 31) if given");

    EXPECT_EQ(CryptWarnings("password", CryptMethod::Traditional), QStringList());
    EXPECT_EQ(CryptWarnings("password-and-much-more", CryptMethod::Traditional),
              QStringList{"Traditional crypt: only the first 8 characters count."});
    EXPECT_EQ(CryptHash("password-and-much-more", CryptMethod::Traditional, "ab").ValueOr("1"),
              CryptHash("password", CryptMethod::Traditional, "ab").ValueOr("2"))
        << "the warning tells the truth";
    // Each byte loses its top bit: "é" (C3 A9) hashes as "C)" (43 29) does.
    EXPECT_EQ(CryptHash("\xc3\xa9", CryptMethod::Traditional, "ab").ValueOr("1"),
              CryptHash("C)", CryptMethod::Traditional, "ab").ValueOr("2"));
    EXPECT_EQ(CryptWarnings("\xc3\xa9", CryptMethod::Traditional),
              QStringList{"Traditional crypt keeps 7 bits of each byte: characters outside ASCII "
                          "are weakened."});
    EXPECT_EQ(CryptWarnings(QByteArray(73, 'b'), CryptMethod::Bcrypt),
              QStringList{"bcrypt: only the first 72 bytes count."});
    EXPECT_EQ(CryptWarnings(QByteArray(200, 'b'), CryptMethod::Sha512), QStringList());
}

TEST(CryptCommand, MethodsWarningsAndRefusals) {
    ProcessResult r = RunCli({"crypt", "--salt", "ab"}, {}, "password-and-much-more\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "Warning: Traditional crypt: only the first 8 characters count.\n");
    EXPECT_EQ(r.out, RunCli({"crypt", "--salt", "ab"}, {}, "password\n").out);
    r = RunCli({"crypt", "--method", "bcrypt"}, {}, "s3cret\n");
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.out.startsWith("$2b$12$")) << r.out.constData();
    r = RunCli({"crypt", "--method", "sha512", "--salt", "saltsalt"}, {}, "s3cret\n");
    EXPECT_EQ(r.out, PythonCrypt({{"s3cret", "$6$saltsalt"}}).value(0).toUtf8() + "\n");

    r = RunCli({"crypt", "--method", "md5"}, {}, "caf\xe9\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "The password is not valid UTF-8.\n");
    EXPECT_TRUE(r.out.isEmpty());
    r = RunCli({"crypt", "--method", "sha512"}, {}, QByteArray(513, 'x') + "\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "The password is too long (at most 512 bytes).\n");
    EXPECT_EQ(RunCli({"crypt", "--method", "sha256"}, {}, "pw\n").exitCode, 2);
    EXPECT_EQ(RunCli({"crypt"}, {}, "").err, "No password was given.\n");
}

TEST(CryptPwValue, IsMailedOnlyWhileTheSchemeIsCryptPw) {
    ScopedWorkDir dir;
    const struct {
        const char* kind;
        const char* name;
        const char* scheme;
        const char* info;
        const char* line;
    } pages[] = {
        {"domain", "example.com", "AuthScheme", "AuthInfoEdit",
         "\r\n0c. Auth Info..................: "},
        {"host", "ns1.example.com", "HostAuthScheme", "HostAuthInfo",
         "\r\n0c. Auth Info...................: "},
        {"contact", "Jane Roe", "ContactAuthorizationType", "ContactAuthorizationInfo",
         "\r\n0c. Auth Info...............: "},
    };
    for (const auto& p : pages) {
        for (const char* scheme : {"CRYPT-PW", "MAIL-FROM", "PGP"}) {
            const ProcessResult r =
                RunCli({"write", p.kind, p.name, "--set", QString(p.scheme) + "=" + scheme, "--set",
                        QString(p.info) + "=$1$saltsalt$w/hash.from.Make"});
            ASSERT_EQ(r.exitCode, 0) << r.err.constData();
            const QByteArray form = ReadAll(dir.file(QString(p.kind) + "s/" + p.name + ".txt"));
            const QByteArray expected =
                QByteArray(p.line) +
                (scheme == QByteArray("CRYPT-PW") ? "$1$saltsalt$w/hash.from.Make" : "") + "\r\n";
            EXPECT_TRUE(form.contains(expected)) << p.kind << " " << scheme;
        }
    }
}
