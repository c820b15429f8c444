#include "objects/authsyntax.h"

#include "objects/namesyntax.h"

#include <QRegularExpression>

QString AuthScheme(const QString& value) {
    const QString word = value.section(' ', 0, 0).toUpper();
    if (word.startsWith("PGPKEY-")) return "PGPKEY";
    if (word.startsWith("X509-")) return "X509";
    return word;
}

Done VerifyAuth(const QString& value) {
    static const QRegularExpression pgp("^PGPKEY-[0-9A-F]{8}$",
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression x509("^X509-[1-9][0-9]*$",
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression bcrypt("^\\$2[aby]\\$[0-9]{2}\\$[./A-Za-z0-9]{53}$");
    static const QRegularExpression md5("^\\$1\\$[^$]{1,8}\\$[./0-9A-Za-z]{22}$");
    static const QRegularExpression crypt("^[./0-9A-Za-z]{13}$");
    const QString scheme = AuthScheme(value);
    const QString rest = value.section(' ', 1).trimmed();
    // What a value of each scheme must be, in the words of the error.
    const auto must = [](bool holds, const char* shape) -> Done {
        if (holds) return {};
        return Fail(shape);
    };
    if (scheme == "PGPKEY")
        return must(pgp.match(value).hasMatch(),
                    "PGPKEY- and the last 8 hex digits of the key's id");
    if (scheme == "X509") return must(x509.match(value).hasMatch(), "X509- and a number");
    if (scheme == "SSO")
        return must(bool(VerifyMailAddress(rest)), "SSO and the account's address");
    if (scheme == "BCRYPT-PW")
        return must(bcrypt.match(rest).hasMatch(), "BCRYPT-PW and a bcrypt hash ($2b$...)");
    if (scheme == "MD5-PW")
        return must(md5.match(rest).hasMatch(), "MD5-PW and an MD5 crypt hash ($1$...)");
    if (scheme == "CRYPT-PW")
        return must(crypt.match(rest).hasMatch(), "CRYPT-PW and a 13-character crypt hash");
    return Fail(value.isEmpty() ? "an empty value" : "unknown scheme " + scheme);
}

void CheckAuth(const QString& value, const ValueContext& c, ValueFindings& out) {
    const Done why = VerifyAuth(value);
    if (!why) {
        out.push_back(SyntaxError(value, "auth attribute", why.Error()));
        return;
    }
    const QString scheme = AuthScheme(value);
    if (!c.registry.authSchemes.contains(scheme)) {
        out.push_back(RuleError("auth-scheme", {"value", scheme, "registry", c.registry.name}));
        return;
    }
    if (scheme == "CRYPT-PW" && c.action != ObjectAction::Delete)
        out.push_back(RuleError("auth-legacy", {"value", scheme}));
}
