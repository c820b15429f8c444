#pragma once
// A maintainer's auth: lines: PGPKEY-XXXXXXXX (a key-cert's name), X509-n, SSO and an address,
// and the password hashes BCRYPT-PW, MD5-PW and CRYPT-PW, each only where the registry takes it.
#include "objects/valuesyntax.h"
#include "platform/result.h"

// The scheme of an auth: value in upper case: "PGPKEY", "X509", "SSO", "BCRYPT-PW", ...
QString AuthScheme(const QString& value);
// Why `value` is no auth: value of its scheme; done when it is one.
Done VerifyAuth(const QString& value);

void CheckAuth(const QString& value, const ValueContext& c, ValueFindings& out);
