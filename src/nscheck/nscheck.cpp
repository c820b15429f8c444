#include "nscheck/nscheck.h"

#include "platform/wait.h"

#include <QPointer>

TNameServerCheck::TNameServerCheck(QObject* parent) : QObject(parent) {}

TNameServerCheck::~TNameServerCheck() {
    Cancel();
}

void TNameServerCheck::Cancel() {
    // The job's questions end with the token; what it still posts finds no check to tell.
    cancel_.Cancel();
    running_ = false;
}

int TNameServerCheck::Errors() const {
    int errors = 0;
    for (const CheckLine& line : lines_)
        errors += line.verdict == Verdict::Error;
    return errors;
}

void TNameServerCheck::Add(const CheckLine& line) {
    lines_.push_back(line);
    if (OnLine) OnLine(line);
}

void TNameServerCheck::Finished(const QString& summary) {
    summary_ = summary;
    running_ = false;
    if (OnFinished) OnFinished(summary_);
}

void TNameServerCheck::Start(const QString& domain, const std::vector<ListedServer>& servers) {
    Start(CheckRequest::FromEnvironment(domain, servers));
}

void TNameServerCheck::Start(const CheckRequest& request) {
    Cancel();
    cancel_ = CancelToken();
    running_ = true;
    lines_.clear();
    summary_.clear();
    const QPointer<TNameServerCheck> alive(this);
    const CancelToken token = cancel_;
    Tasks::Submit(token, [alive, token, request] {
        const CheckOutcome outcome =
            RunNameServerCheck(request, token, [alive, token](const CheckLine& line) {
                Tasks::PostToWindowThread([alive, token, line] {
                    if (alive && !token.Cancelled()) alive->Add(line);
                });
            });
        if (token.Cancelled()) return;
        Tasks::PostToWindowThread([alive, token, summary = outcome.summary] {
            if (alive && !token.Cancelled()) alive->Finished(summary);
        });
    });
    // A pool that is shutting down runs nothing more.
    if (token.Cancelled()) running_ = false;
}

void TNameServerCheck::RunToEnd(const CheckRequest& request) {
    Start(request);
    WaitUntil([this] { return !running_; });
}

std::vector<ListedServer> ListedServersOf(const Record& record) {
    static const char* const fields[4][2] = {{"PriNSEdit", "PriNSIPEdit"},
                                             {"SecNSEdit", "SecNSIPEdit"},
                                             {"ThirdNSEdit", "ThirdNSIPEdit"},
                                             {"fourthnsedit", "fourthnsipedit"}};
    std::vector<ListedServer> servers;
    for (const auto& [host, address] : fields)
        servers.push_back({record.Text(host), record.Text(address)});
    return servers;
}
