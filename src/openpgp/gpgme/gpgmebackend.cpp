// The OpenPGP module: GnuPG through GPGME. Each call makes its own context, so calls may run on
// any thread. GPGME finds GnuPG at its built-in place without asking gpgconf: a short command
// then starts no gpgconf runs besides the one GnuPG run it needs.
#include "openpgp/gnupgtrouble.h"
#include "openpgp/openpgpbackend.h"
#include "platform/module.h"

#include <QIODevice>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <gpgme.h>

namespace {
QString Text(gpgme_error_t error) {
    return QString::fromUtf8(gpgme_strerror(error));
}

QString Utf8(const char* text) {
    return text ? QString::fromUtf8(text) : QString();
}

struct Context {
    gpgme_ctx_t ctx = nullptr;
    gpgme_error_t error = 0;
    Context() {
        error = gpgme_new(&ctx);
        if (error) return;
        gpgme_set_protocol(ctx, GPGME_PROTOCOL_OpenPGP);
        gpgme_set_armor(ctx, 1);
        gpgme_set_textmode(ctx, 1);
    }
    ~Context() {
        if (ctx) gpgme_release(ctx);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    // GnuPG's reason when it could not reach the agent or read the keyring, from its diagnostics
    // of the last operation ("can't connect to the agent: Read-only file system"); empty
    // otherwise. GPGME reports such a run as keys without secret parts, no keys, or "No secret
    // key".
    QString Trouble() const {
        gpgme_data_t diagnostics = nullptr;
        if (gpgme_data_new(&diagnostics)) return QString();
        QStringList lines;
        if (gpgme_op_getauditlog(ctx, diagnostics, GPGME_AUDITLOG_DIAG) == 0) {
            size_t size = 0;
            char* bytes = gpgme_data_release_and_get_mem(diagnostics, &size);
            diagnostics = nullptr;
            lines = QString::fromUtf8(bytes, qsizetype(size)).split('\n');
            gpgme_free(bytes);
        }
        if (diagnostics) gpgme_data_release(diagnostics);
        return GnupgTrouble(lines);
    }
    // The failure of an operation: the agent's trouble when there was some, else `error`.
    Failure Failed(gpgme_error_t error) const {
        const QString trouble = Trouble();
        return Fail(trouble.isEmpty() ? Text(error) : trouble);
    }
};

struct Data {
    gpgme_data_t data = nullptr;
    Data() = default;
    Data(const Data&) = delete;
    Data& operator=(const Data&) = delete;
    ~Data() {
        if (data) gpgme_data_release(data);
    }
};

// A device as GPGME data: what GnuPG reads and writes streams through it.
ssize_t ReadDevice(void* handle, void* buffer, size_t size) {
    const qint64 n =
        static_cast<QIODevice*>(handle)->read(static_cast<char*>(buffer), qint64(size));
    if (n < 0) errno = EIO;
    return ssize_t(n);
}

ssize_t WriteDevice(void* handle, const void* buffer, size_t size) {
    const qint64 n =
        static_cast<QIODevice*>(handle)->write(static_cast<const char*>(buffer), qint64(size));
    if (n < 0) errno = EIO;
    return ssize_t(n);
}

gpgme_data_cbs kDeviceCallbacks = {ReadDevice, WriteDevice, nullptr, nullptr};

gpgme_error_t DeviceData(QIODevice& device, Data& data) {
    return gpgme_data_new_from_cbs(&data.data, &kDeviceCallbacks, &device);
}

QString Unusable(gpgme_key_t key) {
    if (key->revoked) return Text(gpg_error(GPG_ERR_CERT_REVOKED));
    if (key->expired) return Text(gpg_error(GPG_ERR_KEY_EXPIRED));
    if (key->disabled) return Text(gpg_error(GPG_ERR_KEY_DISABLED));
    if (key->invalid) return Text(gpg_error(GPG_ERR_UNUSABLE_SECKEY));
    return QString();
}

OpenPgpKey KeyOf(gpgme_key_t key) {
    OpenPgpKey k;
    k.fingerprint = Utf8(key->fpr ? key->fpr : key->subkeys ? key->subkeys->fpr : nullptr);
    if (key->uids) k.userId = Utf8(key->uids->uid);
    if (key->subkeys) k.expires = qint64(key->subkeys->expires);
    k.secret = key->secret;
    k.unusable = Unusable(key);
    // GnuPG signs with the newest usable signing (sub)key whose secret part it has.
    long newest = -1;
    for (gpgme_subkey_t s = key->subkeys; s; s = s->next) {
        k.subkeys << Utf8(s->fpr);
        const bool usable =
            s->can_sign && s->secret && !s->expired && !s->revoked && !s->disabled && !s->invalid;
        if (usable && s->timestamp > newest) {
            newest = s->timestamp;
            k.signingFingerprint = Utf8(s->fpr);
            k.onCard = s->is_cardkey;
        }
    }
    return k;
}

OpenPgpSignature::Validity ValidityOf(gpgme_validity_t validity) {
    using V = OpenPgpSignature::Validity;
    switch (validity) {
    case GPGME_VALIDITY_NEVER:
        return V::Never;
    case GPGME_VALIDITY_MARGINAL:
        return V::Marginal;
    case GPGME_VALIDITY_FULL:
        return V::Full;
    case GPGME_VALIDITY_ULTIMATE:
        return V::Ultimate;
    default:
        return V::Unknown;
    }
}

OpenPgpSignature SignatureOf(gpgme_signature_t s) {
    using S = OpenPgpSignature::Status;
    OpenPgpSignature sig;
    sig.fingerprint = Utf8(s->fpr);
    sig.validity = ValidityOf(s->validity);
    sig.made = qint64(s->timestamp);
    sig.expires = qint64(s->exp_timestamp);
    switch (gpg_err_code(s->status)) {
    case GPG_ERR_NO_ERROR:
        sig.status = S::Good;
        break;
    case GPG_ERR_BAD_SIGNATURE:
        sig.status = S::Bad;
        break;
    case GPG_ERR_SIG_EXPIRED:
        sig.status = S::ExpiredSignature;
        break;
    case GPG_ERR_KEY_EXPIRED:
        sig.status = S::ExpiredKey;
        break;
    case GPG_ERR_CERT_REVOKED:
        sig.status = S::RevokedKey;
        break;
    case GPG_ERR_NO_PUBKEY:
        sig.status = S::NoPublicKey;
        break;
    default:
        sig.status = S::Failed;
        sig.problem = Text(s->status);
        break;
    }
    return sig;
}

class GpgmeBackend : public OpenPgpBackend {
public:
    GpgmeBackend() {
        gpgme_set_global_flag("disable-gpgconf", "1");
        gpgme_check_version(nullptr);
    }

    Result<std::vector<OpenPgpKey>> Keys(const QString& pattern, bool secretOnly) override {
        Context c;
        if (c.error) return Fail(Text(c.error));
        std::vector<gpgme_key_t> found;
        const Result<void> listed = List(c, pattern, secretOnly, found);
        std::vector<OpenPgpKey> keys;
        for (gpgme_key_t key : found) {
            keys.push_back(KeyOf(key));
            gpgme_key_unref(key);
        }
        if (!listed) return Fail(listed.Error());
        return keys;
    }

    Result<QString> Signer(const QString& keyId, const KeyChooser& choose) override {
        Context c;
        if (c.error) return Fail(Text(c.error));
        std::vector<gpgme_key_t> named;
        Result<void> signable = List(c, keyId, false, named);
        if (signable) signable = Signable(named, choose);
        const QString fingerprint = signable ? KeyOf(named.front()).fingerprint : QString();
        for (gpgme_key_t key : named)
            gpgme_key_unref(key);
        if (!signable) return Fail(signable.Error());
        return fingerprint;
    }

    QString ErrorText(unsigned code) override { return Text(gpg_error(gpg_err_code_t(code))); }

    Result<std::vector<OpenPgpSignature>> VerifyClearSigned(QByteArrayView block,
                                                            QIODevice& signedText) override {
        Context c;
        Data in, plain;
        gpgme_error_t error = c.error;
        if (!error)
            error = gpgme_data_new_from_mem(&in.data, block.data(), size_t(block.size()), 0);
        if (!error) error = DeviceData(signedText, plain);
        if (!error) error = gpgme_op_verify(c.ctx, in.data, nullptr, plain.data);
        return Signatures(c, error);
    }

    Result<std::vector<OpenPgpSignature>> VerifyDetached(QByteArrayView data,
                                                         QByteArrayView signature) override {
        Context c;
        Data signedData, sig;
        gpgme_error_t error = c.error;
        if (!error)
            error = gpgme_data_new_from_mem(&signedData.data, data.data(), size_t(data.size()), 0);
        if (!error)
            error =
                gpgme_data_new_from_mem(&sig.data, signature.data(), size_t(signature.size()), 0);
        if (!error) error = gpgme_op_verify(c.ctx, sig.data, signedData.data, nullptr);
        return Signatures(c, error);
    }

    Result<QByteArray> ExportPublicKey(const QString& keyId) override {
        Context c;
        Data armored;
        gpgme_error_t error = c.error;
        if (!error) error = gpgme_data_new(&armored.data);
        const QByteArray pattern = keyId.toUtf8();
        if (!error) error = gpgme_op_export(c.ctx, pattern.constData(), 0, armored.data);
        if (error) return c.Failed(error);
        size_t size = 0;
        char* bytes = gpgme_data_release_and_get_mem(armored.data, &size);
        armored.data = nullptr;
        QByteArray key(bytes, qsizetype(size));
        gpgme_free(bytes);
        return key;
    }

private:
    // The keys `pattern` names, each with a reference the caller releases.
    static Result<void> List(Context& c, const QString& pattern, bool secretOnly,
                             std::vector<gpgme_key_t>& keys) {
        if (!secretOnly)
            gpgme_set_keylist_mode(c.ctx,
                                   GPGME_KEYLIST_MODE_LOCAL | GPGME_KEYLIST_MODE_WITH_SECRET);
        const QByteArray text = pattern.toUtf8();
        gpgme_error_t error =
            gpgme_op_keylist_start(c.ctx, text.isEmpty() ? nullptr : text.constData(), secretOnly);
        gpgme_key_t key = nullptr;
        while (!error && !(error = gpgme_op_keylist_next(c.ctx, &key)))
            keys.push_back(key);
        gpgme_op_keylist_end(c.ctx);
        if (gpg_err_code(error) != GPG_ERR_EOF) return c.Failed(error);
        // An agent that cannot be reached hides every secret part without an error, a keyring
        // that cannot be read every key.
        if (const QString trouble = c.Trouble(); !trouble.isEmpty()) return Fail(trouble);
        return {};
    }

    // Whether the keys a key id names allow signing: the chooser's word first, then GnuPG's rule
    // (exactly one key, usable, with a secret part that can sign) in GnuPG's words.
    static Result<void> Signable(const std::vector<gpgme_key_t>& named, const KeyChooser& choose) {
        if (choose) {
            std::vector<OpenPgpKey> keys;
            for (gpgme_key_t key : named)
                keys.push_back(KeyOf(key));
            if (Result<void> chosen = choose(keys); !chosen) return chosen;
        }
        if (named.empty()) return Fail(Text(gpg_error(GPG_ERR_NO_SECKEY)));
        if (named.size() > 1) return Fail(Text(gpg_error(GPG_ERR_AMBIGUOUS_NAME)));
        const OpenPgpKey key = KeyOf(named.front());
        if (!key.unusable.isEmpty()) return Fail(key.unusable);
        if (key.signingFingerprint.isEmpty())
            return Fail(Text(gpg_error(key.secret ? GPG_ERR_UNUSABLE_SECKEY : GPG_ERR_NO_SECKEY)));
        return {};
    }

    Result<std::vector<OpenPgpSignature>> Signatures(Context& c, gpgme_error_t error) {
        if (error) return c.Failed(error);
        const gpgme_verify_result_t result = gpgme_op_verify_result(c.ctx);
        if (!result || !result->signatures) return Fail(Text(gpg_error(GPG_ERR_NO_DATA)));
        std::vector<OpenPgpSignature> signatures;
        for (gpgme_signature_t s = result->signatures; s; s = s->next)
            signatures.push_back(SignatureOf(s));
        // The keyring names the key: its primary fingerprint and user ID (a bad signature gives
        // only the key's id).
        for (OpenPgpSignature& sig : signatures) {
            if (sig.status == OpenPgpSignature::Status::NoPublicKey || sig.fingerprint.isEmpty())
                continue;
            Context lookup;
            gpgme_key_t key = nullptr;
            if (lookup.error ||
                gpgme_get_key(lookup.ctx, sig.fingerprint.toLatin1().constData(), &key, 0))
                continue;
            const OpenPgpKey known = KeyOf(key);
            gpgme_key_unref(key);
            sig.fingerprint = known.fingerprint;
            sig.userId = known.userId;
        }
        return signatures;
    }
};
} // namespace

REGISCRIBE_MODULE_ENTRY(OpenPgpBackend, regiscribe_openpgp) {
    static GpgmeBackend backend;
    return &backend;
}
