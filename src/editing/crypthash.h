#pragma once
// The encrypted passwords registries take: crypt(3) hashes made by libxcrypt, each time with a
// fresh random salt from the system. Traditional DES crypt (13 characters) is what the CRYPT-PW
// scheme expects; MD5 ("$1$"), SHA-512 ("$6$") and bcrypt ("$2b$", cost 12) are there for
// registries that take them. The plain password is never kept.
#include "platform/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

enum class CryptMethod { Traditional, Md5, Sha512, Bcrypt };

// Every method, the default first.
const std::vector<CryptMethod>& AllCryptMethods();
// "Traditional crypt", "MD5 crypt ($1$)", "SHA-512 crypt ($6$)", "bcrypt ($2b$)".
QString CryptMethodCaption(CryptMethod method);
// The companion's names: des, md5, sha512, bcrypt.
QString CryptMethodName(CryptMethod method);
std::optional<CryptMethod> CryptMethodNamed(const QString& name);

inline constexpr qsizetype kMaxCryptPassword = 512;

// Why `password` (UTF-8 bytes) cannot be hashed: "The password is not valid UTF-8.", "The
// password is too long (at most 512 bytes).", "The password holds a NUL character.".
Result<void> CheckCryptPassword(const QByteArray& password);
// What the user should know before the hash is made: the parts of the password the method does
// not use. Empty when there is nothing to say.
QStringList CryptWarnings(const QByteArray& password, CryptMethod method);

// The hash of `password` (UTF-8 bytes; refused as CheckCryptPassword says). `salt` fixes the salt
// instead of a random one, for reproducible output: the salt characters alone (two for
// traditional crypt, up to 8 for MD5, up to 16 for SHA-512, 22 for bcrypt) or the whole setting a
// hash starts with ("$1$abc", "$6$rounds=5000$abc", "$2b$10$...").
Result<QString> CryptHash(const QByteArray& password, CryptMethod method,
                          const QString& salt = QString());
