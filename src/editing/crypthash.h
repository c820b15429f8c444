#pragma once
// The CRYPT-PW scheme's encrypted password: a crypt(3) hash made by libxcrypt, traditional DES
// crypt (13 characters) by default, MD5 crypt ("$1$...") as the other method, each time with a
// fresh random salt from the system. The plain password is never kept.
#include "platform/exception.h"

#include <QString>

enum class CryptMethod { Traditional, Md5 };

// The hash of `password`. `salt` fixes the salt instead of a random one (two characters for
// traditional crypt, up to eight for MD5, from "./0-9A-Za-z"), for reproducible output. Raises
// Exception with the reason when no hash can be made.
QString CryptHash(const QString& password, CryptMethod method, const QString& salt = QString());
