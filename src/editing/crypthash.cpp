#include "editing/crypthash.h"

#include <QRegularExpression>
#include <cerrno>
#include <crypt.h>
#include <cstdlib>
#include <cstring>

namespace {
// The setting crypt(3) takes: a fresh salt from the system's random source, or the one given.
QByteArray Setting(CryptMethod method, const QString& salt) {
    const char* prefix = method == CryptMethod::Md5 ? "$1$" : "";
    if (!salt.isEmpty()) {
        QString bare = salt;
        if (bare.startsWith("$1$")) bare = bare.mid(3);
        static const QRegularExpression chars("^[./0-9A-Za-z]+$");
        const int size = int(bare.size());
        const bool fits = method == CryptMethod::Md5 ? size >= 1 && size <= 8 : size == 2;
        if (!fits || !chars.match(bare).hasMatch())
            throw Exception(method == CryptMethod::Md5
                                ? "An MD5 crypt salt is 1 to 8 of the characters ./0-9A-Za-z"
                                : "A traditional crypt salt is 2 of the characters ./0-9A-Za-z");
        return prefix + bare.toLatin1();
    }
    errno = 0;
    char* setting = crypt_gensalt_ra(prefix, 0, nullptr, 0);
    if (!setting)
        throw Exception("No salt could be made: " + QString::fromLocal8Bit(std::strerror(errno)));
    QByteArray result(setting);
    std::free(setting);
    return result;
}
} // namespace

QString CryptHash(const QString& password, CryptMethod method, const QString& salt) {
    const QByteArray setting = Setting(method, salt);
    QByteArray phrase = password.toUtf8();
    void* data = nullptr;
    int size = 0;
    errno = 0;
    const char* hash = crypt_ra(phrase.constData(), setting.constData(), &data, &size);
    QString result;
    if (hash && hash[0] != '*') result = QString::fromLatin1(hash);
    const int error = errno;
    // The work area held the password: cleared before it is given back.
    if (data) {
        std::memset(data, 0, size_t(size));
        std::free(data);
    }
    phrase.fill('\0');
    if (result.isEmpty())
        throw Exception("The password could not be hashed: " +
                        QString::fromLocal8Bit(std::strerror(error ? error : EINVAL)));
    return result;
}
