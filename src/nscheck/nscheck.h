#pragma once
// The name-server check of a domain: every listed server's name resolved and every one of its
// addresses asked at once, each question on a worker of the task pool and bounded (3 seconds, one
// more try over UDP), so a check of servers that never answer ends within 8 seconds. Findings are
// told on the window thread as they come (through its event queue); the lines across all servers
// and the summary come last. Cancel ends the check at once: answers still on their way are dropped.
#include "nscheck/checklines.h"
#include "platform/tasks.h"
#include "templates/recordmodel.h"

#include <QObject>
#include <functional>
#include <memory>

class TNameServerCheck : public QObject {
public:
    explicit TNameServerCheck(QObject* parent = nullptr);
    ~TNameServerCheck() override;

    // Starts a check of `domain` (a check in progress is cancelled first). Rows without a host
    // name and without an address are left out.
    void Start(const QString& domain, const std::vector<ListedServer>& servers);
    void Cancel();
    bool Running() const { return running_; }
    // The lines so far, and the summary once finished.
    const std::vector<CheckLine>& Lines() const { return lines_; }
    int Errors() const;
    QString Summary() const { return summary_; }

    // A finding, as it arrives.
    std::function<void(const CheckLine& line)> OnLine;
    // The summary line: the check is over.
    std::function<void(const QString& summary)> OnFinished;

    // Runs a check to its end, processing events meanwhile; for callers that wait for it.
    void RunToEnd(const QString& domain, const std::vector<ListedServer>& servers);

private:
    void Add(const std::vector<CheckLine>& lines);
    void Resolved(int server, const QString& host, const Resolution& resolution);
    void Probe(const QString& host, const IpAddress& address);
    void Probed(const AddressProbe& probe);
    void FinishIfDone();

    CancelToken cancel_;
    QString domain_;
    std::vector<ListedServer> servers_;
    QStringList listedHosts_;
    std::vector<AddressProbe> probes_;
    std::vector<CheckLine> lines_;
    QString summary_;
    int pending_ = 0;
    bool running_ = false;
};

// The servers a domain record lists on its Name Servers tab, in order: host and typed address.
std::vector<ListedServer> ListedServersOf(const Record& record);
