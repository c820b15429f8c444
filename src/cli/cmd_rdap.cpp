// regiscribe-cli rdap: the WhoIs tab's RDAP look-up, printing the lines the tab shows (or, with
// --json, each answer's body as received).
#include "cli/command.h"
#include "lookup/lookupsettings.h"
#include "lookup/rdaplookup.h"
#include "platform/peertext.h"
#include "platform/wait.h"

#include <cstdio>

namespace {
// Prints each line at once, through the peer-text filter (the lines carry the servers' texts);
// with --json the answers' bodies as they came.
class PrintedLines : public LookupView {
public:
    explicit PrintedLines(QString query) : query_(std::move(query)) {}
    QString QueryText() const override { return query_; }
    void SetQueryText(const QString& text) override { query_ = text; }
    void ClearResponse() override {}
    void AddResponse(const QString& line) override {
        Print(PeerText(line, PeerTextLines::Escape).toUtf8(), true);
    }
    void AddAnswer(QByteArrayView bytes) override { Print(bytes, !bytes.endsWith('\n')); }

private:
    static void Print(QByteArrayView bytes, bool newline) {
        std::fwrite(bytes.data(), 1, size_t(bytes.size()), stdout);
        if (newline) std::fputc('\n', stdout);
        std::fflush(stdout);
    }
    QString query_;
};

int Rdap(CliContext& c) {
    const QString bootstrap = TakeOption(c.args, "--bootstrap");
    const bool json = TakeFlag(c.args, "--json");
    const bool noReferral = TakeFlag(c.args, "--no-referral");
    RejectUnknownOptions(c.args);
    c.args.removeAll("--");
    // "entity HANDLE" and "nameserver NAME" ask for those objects; one word is what it shows.
    RdapObject object = RdapObject::Any;
    if (c.args.size() == 2 && c.args.front() == "entity") object = RdapObject::Entity;
    if (c.args.size() == 2 && c.args.front() == "nameserver") object = RdapObject::Nameserver;
    if (object != RdapObject::Any) c.args.removeFirst();
    if (c.args.size() != 1)
        throw CliUsageError{"expects one NAME, or entity HANDLE, or nameserver NAME"};
    if (c.args.front().trimmed().isEmpty()) throw CliUsageError{"NAME is empty"};
    PrintedLines view(c.args.front());
    TRdapLookup lookup(view);
    lookup.Bootstrap =
        bootstrap.isEmpty() ? ReadLookupSettings(c.settingsFile).rdapBootstrap : bootstrap;
    lookup.JsonOnly = json;
    lookup.FollowRegistrar = !noReferral;
    // An error's title, a registrar's link: the servers' texts again.
    lookup.OnFailure = [&c](const QString& text) {
        c.err << PeerText(text, PeerTextLines::Escape) << '\n';
        c.err.flush();
    };
    lookup.OnNote = lookup.OnFailure;
    lookup.Start(c.args.front(), object);
    WaitUntil([&lookup] { return !lookup.Active(); });
    return lookup.Answered() ? CliOk : CliFailed;
}

CliRegistration rdapCommand{{"rdap",
                             "regiscribe-cli rdap NAME|entity HANDLE|nameserver NAME "
                             "[--bootstrap URL] [--json] [--no-referral]",
                             Rdap}};
} // namespace
