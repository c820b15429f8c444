#include "editing/crypthash.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <cerrno>
#include <crypt.h>
#include <cstdlib>
#include <cstring>

namespace {
struct MethodFacts {
    CryptMethod method;
    const char* name;
    const char* caption;
    const char* prefix;  // of the setting; empty for traditional crypt
    unsigned long cost;  // for crypt_gensalt; 0 is the method's default
    const char* pattern; // a whole setting this method accepts
    const char* saltRule;
};

const MethodFacts kMethods[] = {
    {CryptMethod::Traditional, "des", "Traditional crypt", "", 0, "^[./0-9A-Za-z]{2}$",
     "A traditional crypt salt is 2 of the characters ./0-9A-Za-z"},
    {CryptMethod::Md5, "md5", "MD5 crypt ($1$)", "$1$", 0, "^\\$1\\$[./0-9A-Za-z]{1,8}$",
     "An MD5 crypt salt is 1 to 8 of the characters ./0-9A-Za-z"},
    {CryptMethod::Sha512, "sha512", "SHA-512 crypt ($6$)", "$6$", 0,
     "^\\$6\\$(rounds=[1-9][0-9]{3,8}\\$)?[./0-9A-Za-z]{1,16}$",
     "A SHA-512 crypt salt is 1 to 16 of the characters ./0-9A-Za-z, after \"rounds=N$\" if "
     "given"},
    {CryptMethod::Bcrypt, "bcrypt", "bcrypt ($2b$)", "$2b$", 12,
     "^\\$2b\\$(0[4-9]|[12][0-9]|3[01])\\$[./0-9A-Za-z]{22}$",
     "A bcrypt salt is 22 of the characters ./0-9A-Za-z, after \"$2b$NN$\" (the cost, 04 to "
     "31) if given"},
};

const MethodFacts& Facts(CryptMethod method) {
    for (const MethodFacts& f : kMethods)
        if (f.method == method) return f;
    return kMethods[0];
}

// The setting crypt(3) takes: the salt given (completed with the method's prefix and, for
// bcrypt, the default cost), or a fresh one from the system's random source.
Result<QByteArray> Setting(CryptMethod method, const QString& salt) {
    const MethodFacts& f = Facts(method);
    if (!salt.isEmpty()) {
        QString whole = salt;
        if (!whole.startsWith('$') && method != CryptMethod::Traditional)
            whole = f.prefix + (method == CryptMethod::Bcrypt ? QString("12$") : QString()) + salt;
        if (!QRegularExpression(f.pattern).match(whole).hasMatch()) return Fail(f.saltRule);
        return whole.toLatin1();
    }
    errno = 0;
    char* setting = crypt_gensalt_ra(f.prefix, f.cost, nullptr, 0);
    if (!setting)
        return Fail("No salt could be made: " + QString::fromLocal8Bit(std::strerror(errno)));
    QByteArray result(setting);
    std::free(setting);
    return result;
}
} // namespace

const std::vector<CryptMethod>& AllCryptMethods() {
    static const std::vector<CryptMethod> all = {CryptMethod::Traditional, CryptMethod::Md5,
                                                 CryptMethod::Sha512, CryptMethod::Bcrypt};
    return all;
}

QString CryptMethodCaption(CryptMethod method) {
    return Facts(method).caption;
}

QString CryptMethodName(CryptMethod method) {
    return Facts(method).name;
}

std::optional<CryptMethod> CryptMethodNamed(const QString& name) {
    for (const MethodFacts& f : kMethods)
        if (name == f.name) return f.method;
    return std::nullopt;
}

Result<void> CheckCryptPassword(const QByteArray& password) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(password);
    const bool valid = !utf8.hasError();
    decoded.fill(QChar(0));
    if (!valid) return Fail("The password is not valid UTF-8.");
    if (password.size() > kMaxCryptPassword)
        return Fail("The password is too long (at most " + QString::number(kMaxCryptPassword) +
                    " bytes).");
    // crypt(3) takes a C string: what follows a NUL would silently not count.
    if (password.contains('\0')) return Fail("The password holds a NUL character.");
    return {};
}

QStringList CryptWarnings(const QByteArray& password, CryptMethod method) {
    QStringList warnings;
    if (method == CryptMethod::Traditional) {
        if (password.size() > 8)
            warnings << "Traditional crypt: only the first 8 characters count.";
        for (char c : password.left(8))
            if (uchar(c) >= 0x80) {
                warnings << "Traditional crypt keeps 7 bits of each byte: characters outside "
                            "ASCII are weakened.";
                break;
            }
    }
    if (method == CryptMethod::Bcrypt && password.size() > 72)
        warnings << "bcrypt: only the first 72 bytes count.";
    return warnings;
}

Result<QString> CryptHash(const QByteArray& password, CryptMethod method, const QString& salt) {
    if (const Result<void> usable = CheckCryptPassword(password); !usable)
        return Fail(usable.Error());
    const Result<QByteArray> setting = Setting(method, salt);
    if (!setting) return Fail(setting.Error());
    void* data = nullptr;
    int size = 0;
    errno = 0;
    const char* hash = crypt_ra(password.constData(), setting->constData(), &data, &size);
    QString result;
    if (hash && hash[0] != '*') result = QString::fromLatin1(hash);
    const int error = errno;
    // The work area held the password: cleared before it is given back.
    if (data) {
        std::memset(data, 0, size_t(size));
        std::free(data);
    }
    if (result.isEmpty())
        return Fail("The password could not be hashed: " +
                    QString::fromLocal8Bit(std::strerror(error ? error : EINVAL)));
    return result;
}
