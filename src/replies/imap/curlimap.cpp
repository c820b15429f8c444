// The IMAP module: the user's mailbox through libcurl. curl connects, secures (implicit TLS, or
// STARTTLS that must be offered before anything else is sent), checks the certificate, signs in
// with SASL and selects the folder; our commands go as custom requests, and everything the server
// answers reaches us through the header callback, literals included (curl does not hand literal
// data of custom requests to the body callback).
#include "platform/module.h"
#include "replies/imapbackend.h"

#include <cstring>
#include <curl/curl.h>
#include <mutex>

namespace {
// Debian keeps the system's trust anchors here, hashed: OpenSSL looks up the issuer it needs
// instead of parsing the whole bundle.
const char kSystemAnchors[] = "/etc/ssl/certs";

void InitialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

class CurlImapSession : public ImapSession {
public:
    explicit CurlImapSession(const ImapAccount& account) : account_(account) {
        InitialiseCurlOnce();
        multi_ = curl_multi_init();
        easy_ = curl_easy_init();
        if (easy_) Configure();
    }

    ~CurlImapSession() override {
        // Cleaning the multi handle up closes its connections, and curl signs out on the way.
        if (easy_) curl_easy_cleanup(easy_);
        if (multi_) curl_multi_cleanup(multi_);
    }

    ImapAnswer Command(const QByteArray& command, int wakeDescriptor) override {
        ImapAnswer answer;
        if (!multi_ || !easy_) {
            answer.detail = QStringLiteral("the mail library could not be started");
            return answer;
        }
        transcript_.clear();
        overflow_ = false;
        error_[0] = 0;
        curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, command.constData());
        bool cancelled = false;
        const CURLcode code = Perform(wakeDescriptor, cancelled);
        answer.transcript = transcript_;
        answer.detail = QString::fromUtf8(error_[0] ? error_ : curl_easy_strerror(code));
        answer.outcome = cancelled ? ImapAnswer::Outcome::Cancelled : Outcome(code);
        if (answer.outcome == ImapAnswer::Outcome::CertificateRejected)
            curl_easy_getinfo(easy_, CURLINFO_SSL_VERIFYRESULT, &answer.certificateCode);
        return answer;
    }

private:
    void Configure() {
        const QByteArray host = account_.host.toUtf8();
        const QByteArray hostPart = host.contains(':') ? "[" + host + "]" : host;
        const QByteArray mailbox = account_.mailbox.isEmpty() ? "INBOX" : account_.mailbox;
        char* escaped = curl_easy_escape(easy_, mailbox.constData(), int(mailbox.size()));
        url_ = (account_.implicitTls ? "imaps://" : "imap://") + hostPart + ":" +
               QByteArray::number(account_.port) + "/" + QByteArray(escaped ? escaped : "");
        curl_free(escaped);
        user_ = account_.user.toUtf8();
        password_ = account_.password.toUtf8();

        curl_easy_setopt(easy_, CURLOPT_URL, url_.constData());
        curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "imap,imaps");
        curl_easy_setopt(easy_, CURLOPT_USERNAME, user_.constData());
        curl_easy_setopt(easy_, CURLOPT_PASSWORD, password_.constData());
        curl_easy_setopt(easy_, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
        curl_easy_setopt(easy_, CURLOPT_SSLVERSION, long(CURL_SSLVERSION_TLSv1_2));
        curl_easy_setopt(easy_, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(easy_, CURLOPT_SSL_VERIFYHOST, 2L);
        curl_easy_setopt(easy_, CURLOPT_CAPATH, kSystemAnchors);
        curl_easy_setopt(easy_, CURLOPT_CAINFO,
                         account_.caFile.isEmpty() ? nullptr : account_.caFile.constData());
        curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT, long(account_.connectSeconds));
        curl_easy_setopt(easy_, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(account_.answerSeconds));
        curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_TIME, long(account_.answerSeconds));
        curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, error_);
        // Lines as long as the longest text we fetch stay whole.
        curl_easy_setopt(easy_, CURLOPT_BUFFERSIZE, long(CURL_MAX_READ_SIZE));
        curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &CurlImapSession::OnLines);
        curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlImapSession::Discard);
    }

    static size_t OnLines(char* data, size_t size, size_t count, void* self) {
        auto* session = static_cast<CurlImapSession*>(self);
        const size_t bytes = size * count;
        if (session->transcript_.size() + qint64(bytes) > session->account_.answerLimit) {
            session->overflow_ = true;
            return 0;
        }
        session->transcript_.append(data, qsizetype(bytes));
        return bytes;
    }

    // The untagged lines arrive here too; the transcript already holds them.
    static size_t Discard(char*, size_t size, size_t count, void*) { return size * count; }

    CURLcode Perform(int wake, bool& cancelled) {
        curl_multi_add_handle(multi_, easy_);
        int running = 1;
        while (running) {
            if (curl_multi_perform(multi_, &running) != CURLM_OK || !running) break;
            curl_waitfd extra{wake, CURL_WAIT_POLLIN, 0};
            curl_multi_poll(multi_, wake >= 0 ? &extra : nullptr, wake >= 0 ? 1 : 0, 1000, nullptr);
            if (wake >= 0 && (extra.revents & CURL_WAIT_POLLIN)) {
                cancelled = true;
                break;
            }
        }
        CURLcode code = CURLE_OK;
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_, &left))
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy_)
                code = message->data.result;
        curl_multi_remove_handle(multi_, easy_);
        return code;
    }

    ImapAnswer::Outcome Outcome(CURLcode code) const {
        using O = ImapAnswer::Outcome;
        switch (code) {
        case CURLE_OK:
            return O::Ok;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
            return O::CannotConnect;
        case CURLE_PEER_FAILED_VERIFICATION:
            return O::CertificateRejected;
        case CURLE_SSL_CONNECT_ERROR:
            return O::SecureFailed;
        case CURLE_USE_SSL_FAILED:
            return O::NoStartTls;
        case CURLE_LOGIN_DENIED:
            // curl tells a refused selection with the same code as a refused sign-in.
            return std::strncmp(error_, "Select failed", 13) == 0 ? O::NoMailbox : O::SignInRefused;
        case CURLE_QUOTE_ERROR:
            return O::CommandRefused;
        case CURLE_OPERATION_TIMEDOUT:
            return O::TimedOut;
        case CURLE_WRITE_ERROR:
            return overflow_ ? O::TooLong : O::Failed;
        default:
            return O::Failed;
        }
    }

    ImapAccount account_;
    QByteArray url_, user_, password_;
    CURLM* multi_ = nullptr;
    CURL* easy_ = nullptr;
    char error_[CURL_ERROR_SIZE] = {};
    QByteArray transcript_;
    bool overflow_ = false;
};

class CurlImapBackend : public ImapBackend {
public:
    ImapSession* Open(const ImapAccount& account) override { return new CurlImapSession(account); }
};
} // namespace

REGISCRIBE_MODULE_ENTRY(ImapBackend, regiscribe_imap) {
    static CurlImapBackend backend;
    return &backend;
}
