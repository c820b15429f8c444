#pragma once
// Every DNS question of one check, asked at once from one thread: each question on a socket of
// its own, all of them and the cancellation token's descriptor in one poll(), so Cancel ends
// every wait at the same moment and the check needs no thread per question.
//
// A reply counts only when it comes from the address and port asked, has QR set, carries the
// question's id and echoes its question; anything else is dropped and the wait goes on. Over UDP
// each try waits up to 3 seconds and a second try follows; over TCP connecting and answering share
// one limit. No try waits past the asker's deadline, and at the deadline every question still
// open ends unanswered.
#include "nscheck/dnsbackend.h"
#include "platform/ipaddress.h"
#include "platform/result.h"
#include "platform/tasks.h"

#include <QDeadlineTimer>
#include <deque>
#include <functional>
#include <memory>

constexpr int kDnsTimeoutMs = 3000;

struct DnsQuestion {
    IpAddress server;
    quint16 port = 53;
    QString name; // A-label, or "." for the root
    int type = dns::SOA;
    bool tcp = false;
    DnsQueryForm form;
    // A FORMERR to an EDNS query: asked again without EDNS (the reply says so).
    bool retryWithoutEdns = true;
};

struct DnsReply {
    bool answered = false;
    // The transport's failure or why no answer counted: "no answer over UDP", "TCP refused", ...
    QString problem;
    // No route to the address at all (an IPv6 address from a machine with IPv4 only).
    bool unreachable = false;
    // The UDP answer was truncated: this is the answer over TCP.
    bool truncated = false;
    // The EDNS query had FORMERR: this is the answer without EDNS.
    bool ednsFormErr = false;
    DnsMessage message;
};

// The DNS module, or why it cannot be loaded.
Result<DnsCodec*> Codec();

class DnsAsker {
public:
    DnsAsker(DnsCodec& codec, CancelToken token, QDeadlineTimer deadline);
    ~DnsAsker();
    DnsAsker(const DnsAsker&) = delete;
    DnsAsker& operator=(const DnsAsker&) = delete;

    // Asks `question`; `done` runs inside Run() once it is answered or given up (never after a
    // cancel). `done` may ask more questions.
    void Ask(const DnsQuestion& question, std::function<void(const DnsReply&)> done);
    // Waits for every question, including those asked meanwhile; ends early on cancel or at the
    // deadline (open questions then end unanswered).
    void Run();
    DnsCodec& codec() { return codec_; }
    bool Cancelled() const { return token_.Cancelled(); }

    struct Exchange;

private:
    void Start(Exchange& e);
    void SendUdp(Exchange& e);
    void Readable(Exchange& e);
    void Writable(Exchange& e);
    void Expired(Exchange& e);
    void Finish(Exchange& e, DnsReply reply);
    // A reply that passed the checks of the transport: handles TC and FORMERR.
    void Answered(Exchange& e, const DnsMessage& message);
    // The answer to `e`'s question that `wire` holds, or why it is not one.
    Result<DnsMessage> ReadAnswer(const Exchange& e, const QByteArray& wire);

    DnsCodec& codec_;
    CancelToken token_;
    QDeadlineTimer deadline_;
    std::deque<std::unique_ptr<Exchange>> open_;
};
