// The OpenPGP module: GnuPG through GPGME. Each call makes its own context, so calls may run on
// any thread.
#include "openpgp/openpgpbackend.h"
#include "platform/module.h"

#include <QDateTime>
#include <QProcess>
#include <QStringList>
#include <cstring>
#include <gpgme.h>
#include <memory>

namespace {
QString Text(gpgme_error_t error) {
    return QString::fromUtf8(gpgme_strerror(error));
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
};

struct Data {
    gpgme_data_t data = nullptr;
    ~Data() {
        if (data) gpgme_data_release(data);
    }
    QByteArray Take() {
        size_t size = 0;
        char* bytes = gpgme_data_release_and_get_mem(data, &size);
        data = nullptr;
        QByteArray result(bytes, qsizetype(size));
        gpgme_free(bytes);
        return result;
    }
};

OpenPgpKey KeyOf(gpgme_key_t key) {
    OpenPgpKey k;
    if (key->subkeys && key->subkeys->fpr) k.fingerprint = QString::fromLatin1(key->subkeys->fpr);
    if (key->uids) {
        k.userId = QString::fromUtf8(key->uids->uid ? key->uids->uid : "");
        k.name = QString::fromUtf8(key->uids->name ? key->uids->name : "");
        k.email = QString::fromUtf8(key->uids->email ? key->uids->email : "");
    }
    if (key->subkeys) k.expires = qint64(key->subkeys->expires);
    k.secret = key->secret;
    k.canSign = key->can_sign;
    k.usable = !key->expired && !key->revoked && !key->disabled && !key->invalid;
    return k;
}

struct Loopback {
    const PassphraseSource* source;
};

gpgme_error_t GivePassphrase(void* hook, const char*, const char*, int previousWasBad, int fd) {
    const PassphraseSource& source = *static_cast<Loopback*>(hook)->source;
    // A second request means the first was wrong: the command gives the same text again.
    if (previousWasBad) return gpg_error(GPG_ERR_BAD_PASSPHRASE);
    const std::optional<QByteArray> passphrase = source();
    if (!passphrase) return gpg_error(GPG_ERR_CANCELED);
    const QByteArray line = *passphrase + "\n";
    if (gpgme_io_writen(fd, line.constData(), size_t(line.size())) != 0)
        return gpg_error_from_syserror();
    return 0;
}

class GpgmeBackend : public OpenPgpBackend {
public:
    GpgmeBackend() {
        gpgme_check_version(nullptr);
        initError_ = gpgme_engine_check_version(GPGME_PROTOCOL_OpenPGP);
    }

    bool Ready(QString& why) override {
        if (initError_) {
            why = "GnuPG cannot be used: " + Text(initError_);
            return false;
        }
        return true;
    }

    bool AgentReady(QString& why) override {
        QProcess probe;
        probe.start("gpg-connect-agent", {"GETINFO version", "/bye"});
        if (!probe.waitForStarted(10000)) {
            why = "gpg-connect-agent could not be started: " + probe.errorString();
            return false;
        }
        if (probe.waitForFinished(20000) && probe.exitStatus() == QProcess::NormalExit &&
            probe.exitCode() == 0)
            return true;
        probe.kill();
        // Its complaint says why: "can't connect to the agent: ...", else its last line.
        const QStringList complaints =
            QString::fromLocal8Bit(probe.readAllStandardError()).trimmed().split('\n');
        QString reason = complaints.isEmpty() ? QString() : complaints.back();
        for (const QString& line : complaints)
            if (line.contains("can't connect to the agent:")) reason = line;
        why = "gpg-agent cannot be reached";
        if (!reason.isEmpty()) why += " (" + reason.section(": ", -1) + ")";
        return false;
    }

    std::vector<OpenPgpKey> SecretKeys(QString& problem) override {
        std::vector<OpenPgpKey> keys;
        Context c;
        gpgme_error_t error = c.error ? c.error : gpgme_op_keylist_start(c.ctx, nullptr, 1);
        gpgme_key_t key = nullptr;
        while (!error && !(error = gpgme_op_keylist_next(c.ctx, &key))) {
            keys.push_back(KeyOf(key));
            gpgme_key_unref(key);
        }
        if (gpg_err_code(error) != GPG_ERR_EOF) problem = Text(error);
        if (c.ctx) gpgme_op_keylist_end(c.ctx);
        return keys;
    }

    std::optional<OpenPgpKey> FindKey(const QString& id, bool secret, QString& problem) override {
        Context c;
        if (c.error) {
            problem = Text(c.error);
            return std::nullopt;
        }
        gpgme_key_t key = nullptr;
        const gpgme_error_t error = gpgme_get_key(c.ctx, id.toLatin1().constData(), &key, secret);
        if (error) {
            problem = Text(gpg_err_code(error) == GPG_ERR_EOF
                               ? gpg_error(secret ? GPG_ERR_NO_SECKEY : GPG_ERR_NO_PUBKEY)
                               : error);
            return std::nullopt;
        }
        OpenPgpKey found = KeyOf(key);
        gpgme_key_unref(key);
        return found;
    }

    bool ClearSign(const QByteArray& text, const QString& fingerprint,
                   const PassphraseSource& passphrase, QByteArray& signedText,
                   QString& problem) override {
        Context c;
        if (c.error) {
            problem = Text(c.error);
            return false;
        }
        gpgme_key_t key = nullptr;
        gpgme_error_t error = gpgme_get_key(c.ctx, fingerprint.toLatin1().constData(), &key, 1);
        if (error) {
            problem =
                Text(gpg_err_code(error) == GPG_ERR_EOF ? gpg_error(GPG_ERR_NO_SECKEY) : error);
            return false;
        }
        // An unusable key is refused here in GnuPG's own words, before the agent is troubled.
        if (key->expired || key->subkeys->expired)
            error = gpg_error(GPG_ERR_KEY_EXPIRED);
        else if (key->revoked)
            error = gpg_error(GPG_ERR_CERT_REVOKED);
        else if (key->disabled || key->invalid || !key->can_sign)
            error = gpg_error(GPG_ERR_UNUSABLE_SECKEY);
        if (!error) error = gpgme_signers_add(c.ctx, key);
        gpgme_key_unref(key);
        if (error) {
            problem = Text(error);
            return false;
        }
        Loopback loopback{&passphrase};
        if (passphrase) {
            gpgme_set_pinentry_mode(c.ctx, GPGME_PINENTRY_MODE_LOOPBACK);
            gpgme_set_passphrase_cb(c.ctx, GivePassphrase, &loopback);
        }
        Data in, out;
        error = gpgme_data_new_from_mem(&in.data, text.constData(), size_t(text.size()), 1);
        if (!error) error = gpgme_data_new(&out.data);
        if (!error) error = gpgme_op_sign(c.ctx, in.data, out.data, GPGME_SIG_MODE_CLEAR);
        if (error) {
            const gpgme_sign_result_t result = gpgme_op_sign_result(c.ctx);
            if (result && result->invalid_signers && result->invalid_signers->reason)
                error = result->invalid_signers->reason;
            problem = Text(error);
            return false;
        }
        signedText = out.Take();
        return true;
    }

    OpenPgpVerdict Verify(const QByteArray& signedText) override {
        OpenPgpVerdict verdict;
        Context c;
        Data in, plain;
        gpgme_error_t error = c.error;
        if (!error)
            error = gpgme_data_new_from_mem(&in.data, signedText.constData(),
                                            size_t(signedText.size()), 1);
        if (!error) error = gpgme_data_new(&plain.data);
        if (!error) error = gpgme_op_verify(c.ctx, in.data, nullptr, plain.data);
        const gpgme_verify_result_t result = error ? nullptr : gpgme_op_verify_result(c.ctx);
        if (gpg_err_code(error) == GPG_ERR_NO_DATA || (result && !result->signatures)) {
            verdict.kind = OpenPgpVerdict::NoSignature;
            return verdict;
        }
        if (error || !result) {
            verdict.problem = Text(error);
            return verdict;
        }
        const gpgme_signature_t signature = result->signatures;
        verdict.fingerprint = QString::fromLatin1(signature->fpr ? signature->fpr : "");
        switch (gpg_err_code(signature->status)) {
        case GPG_ERR_NO_ERROR:
        case GPG_ERR_KEY_EXPIRED:
        case GPG_ERR_SIG_EXPIRED:
            verdict.kind = OpenPgpVerdict::Good;
            break;
        case GPG_ERR_BAD_SIGNATURE:
            verdict.kind = OpenPgpVerdict::Bad;
            break;
        case GPG_ERR_NO_PUBKEY:
            verdict.kind = OpenPgpVerdict::NoPublicKey;
            return verdict;
        default:
            verdict.problem = Text(signature->status);
            return verdict;
        }
        QString ignored;
        if (const auto key = FindKey(verdict.fingerprint, false, ignored)) {
            verdict.userId = key->userId;
            // A bad signature names only the key id; the keyring knows the whole fingerprint.
            verdict.fingerprint = key->fingerprint;
        }
        return verdict;
    }

private:
    gpgme_error_t initError_ = 0;
};
} // namespace

REGISCRIBE_MODULE_ENTRY(OpenPgpBackend, regiscribe_openpgp) {
    static GpgmeBackend backend;
    return &backend;
}
