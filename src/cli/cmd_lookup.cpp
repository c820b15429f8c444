// regiscribe-cli whois / finger: the WhoIs and Finger tabs, printing what their answer memo and
// list show.
#include "cli/command.h"
#include "lookup/fingerlookup.h"
#include "lookup/lcipport.h"
#include "lookup/serveraddress.h"
#include "lookup/whoislookup.h"
#include "platform/messageboxes.h"
#include "platform/peertext.h"
#include "platform/wait.h"

#include <QList>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

namespace {
// True when a line is printable ASCII (and tabs) only: what the peer-text filter leaves as it is.
// Nearly every line of an answer is, so the filter's work is spared for the others. Eight bytes
// are looked at together; a word holding a byte below 0x20 (a tab, say) or from 0x7F on is
// looked at byte by byte.
bool IsPlainAscii(QByteArrayView line) {
    auto plain = [](unsigned char b) { return (b >= 0x20 && b < 0x7F) || b == '\t'; };
    const char* p = line.data();
    qsizetype n = line.size();
    constexpr uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    for (; n >= 8; p += 8, n -= 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        const uint64_t below20 = (word - 0x20 * ones) & ~word & highs;
        const uint64_t from7F = ((word + ones) | word) & highs;
        if ((below20 | from7F) == 0) continue;
        for (int i = 0; i < 8; ++i)
            if (!plain(static_cast<unsigned char>(p[i]))) return false;
    }
    for (; n > 0; ++p, --n)
        if (!plain(static_cast<unsigned char>(*p))) return false;
    return true;
}

// The answer as a stream. Until the look-up's handler returns, the lines are held, because the
// tab may still empty its answer (a connection, a time-out); from then on each line is printed as
// it arrives, so what was printed is what the tab shows. The server's text goes through the
// peer-text filter, a line at a time: a control character, a line separator or a bidirectional
// control is shown as its escape, so no answer can move the cursor, recolour the terminal or
// start a line it did not send (bytes that are no UTF-8 are shown as "\xNN"). With `raw` the
// server's bytes are printed as they came, whatever they are.
class PrintedAnswer : public LookupView {
public:
    PrintedAnswer(QString query, QTextStream& err, bool raw = false)
        : query_(std::move(query)), err_(err), raw_(raw) {}
    QString QueryText() const override { return query_; }
    void SetQueryText(const QString& text) override { query_ = text; }
    void ClearResponse() override { held_.clear(); }
    void AddResponse(const QString& line) override { AddAnswer(line.toUtf8()); }
    // Why the connection failed is told at once, not only after the wait for it has run out, and
    // once: on standard error, where failures go, and not again among the answer's lines.
    void AddConnectionFailure(const QString& line) override {
        err_ << line << '\n';
        err_.flush();
        failureTold_ = true;
    }
    bool FailureTold() const { return failureTold_; }
    void AddAnswer(QByteArrayView line) override {
        if (streaming_)
            PrintLine(line);
        else
            held_ << line.toByteArray();
    }
    void StartStreaming() {
        for (const QByteArray& line : held_)
            PrintLine(line);
        held_.clear();
        streaming_ = true;
        Flush();
    }
    static void Flush() { std::fflush(stdout); }

private:
    void PrintLine(QByteArrayView line) const {
        if (raw_ || IsPlainAscii(line)) return Print(line);
        Print(PeerTextFromBytes(line.toByteArray(), PeerTextLines::Escape).toUtf8());
    }
    static void Print(QByteArrayView line) {
        std::fwrite(line.data(), 1, size_t(line.size()), stdout);
        std::fputc('\n', stdout);
    }
    QString query_;
    QTextStream& err_;
    bool raw_;
    QList<QByteArray> held_;
    bool streaming_ = false;
    bool failureTold_ = false;
};

// Boxes become lines on standard error; any box but the beep means the job failed.
class ErrorLines : public MessageBoxes {
public:
    explicit ErrorLines(QTextStream& err) : err_(err) {}
    void Information(const QString& text) override { Show(text); }
    BoxAnswer WarningYesNo(const QString& text) override {
        Show(text);
        return BoxAnswer::No;
    }
    void Warning(const QString& text) override { Show(text); }
    void Error(const QString& text) override { Show(text); }
    void Beep() override {}
    bool shown = false;

private:
    void Show(const QString& text) {
        err_ << DisplayedText(text) << '\n';
        err_.flush();
        shown = true;
    }
    QTextStream& err_;
};

// Runs a look-up to the end: the query sent, the answer printed until the server closes.
template <class Lookup>
int RunLookup(CliContext& c, TlcIPPort& port, Lookup& lookup, PrintedAnswer& answer,
              ErrorLines& boxes, const std::function<bool()>& active) {
    LookupOutcome outcome = lookup.LookUp();
    c.out.flush();
    // A refused name is told once, on standard error below.
    if (outcome == LookupOutcome::Refused) answer.ClearResponse();
    answer.StartStreaming();
    if (outcome != LookupOutcome::QuerySent) {
        // An exception's error; a failed connection has told its own line already.
        if (outcome == LookupOutcome::Failed && !answer.FailureTold() && port.LastError() != 0)
            c.err << port.LastError() << ": " << port.LastErrorText() << '\n';
        if constexpr (requires { lookup.Refusal(); })
            if (outcome == LookupOutcome::Refused)
                c.err << PeerText(lookup.Refusal(), PeerTextLines::Escape) << '\n';
        return CliFailed;
    }
    // Each pass of the wait ends a batch of events: printing is flushed per batch, not per line.
    WaitUntil([&] {
        PrintedAnswer::Flush();
        return !active();
    });
    PrintedAnswer::Flush();
    return boxes.shown ? CliFailed : CliOk;
}

QString TakeSingleArgument(QStringList& args, const char* what) {
    RejectUnknownOptions(args);
    args.removeAll("--");
    if (args.size() != 1) throw CliUsageError{QString("expects one ") + what};
    if (args.front().isEmpty()) throw CliUsageError{QString(what) + " is empty"};
    return args.front();
}

uint16_t ParsePort(const QString& text, const char* option) {
    bool ok = false;
    uint port = text.toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        throw CliUsageError{QString(option) + " needs a port number from 1 to 65535"};
    return uint16_t(port);
}

// Standard output in blocks of 64 KB: the answer is flushed after each batch of lines anyway.
void BufferStandardOutput() {
    static char buffer[64 * 1024];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
}

int Whois(CliContext& c) {
    const QString serverText = TakeOption(c.args, "--server", WhoisLookup::RegistryServer);
    const bool follow = TakeFlag(c.args, "--follow");
    const bool raw = TakeFlag(c.args, "--raw");
    QString name = TakeSingleArgument(c.args, "NAME");
    const auto parsed = ParseServerAddress(serverText, 43);
    if (const auto* problem = std::get_if<ServerAddressProblem>(&parsed))
        throw CliUsageError{*problem == ServerAddressProblem::NoHost
                                ? "--server needs a host"
                                : "--server needs a port number from 1 to 65535"};
    const ServerAddress server = std::get<ServerAddress>(parsed);
    BufferStandardOutput();
    auto boxes = std::make_shared<ErrorLines>(c.err);
    SetBoxes(boxes);
    TlcIPPort ipport;
    PrintedAnswer answer(name, c.err, raw);
    WhoisLookup lookup(ipport, answer);
    lookup.Server = server.host;
    lookup.Port = server.port;
    lookup.FollowReferrals = follow;
    return RunLookup(c, ipport, lookup, answer, *boxes, [&lookup] { return lookup.Active(); });
}

int Finger(CliContext& c) {
    QString portText = TakeOption(c.args, "--port");
    QString text = TakeSingleArgument(c.args, "TEXT");
    BufferStandardOutput();
    auto boxes = std::make_shared<ErrorLines>(c.err);
    SetBoxes(boxes);
    TlcIPPort ipport;
    PrintedAnswer answer(text, c.err);
    FingerLookup lookup(ipport, answer);
    if (!portText.isEmpty()) lookup.Port = ParsePort(portText, "--port");
    return RunLookup(c, ipport, lookup, answer, *boxes, [&ipport] { return ipport.Connected(); });
}

CliRegistration whoisCommand{
    {"whois", "regiscribe-cli whois NAME [--server HOST[:PORT]] [--follow] [--raw]", Whois}};
CliRegistration fingerCommand{{"finger", "regiscribe-cli finger TEXT [--port N]", Finger}};
} // namespace
