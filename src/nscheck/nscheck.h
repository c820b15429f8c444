#pragma once
// The name-server check of a domain for the window and the command line: the check runs as one
// job of the task pool (checkrun.h), its findings are told on the window thread as they come
// (through its event queue), the lines across all servers and the summary last. Cancel ends the
// check at once: every question's wait ends with the token, answers still on their way are
// dropped, and no worker stays busy.
#include "nscheck/checkrun.h"
#include "platform/tasks.h"
#include "templates/recordmodel.h"

#include <QObject>
#include <functional>

class TNameServerCheck : public QObject {
public:
    explicit TNameServerCheck(QObject* parent = nullptr);
    ~TNameServerCheck() override;

    // Starts a check of `domain` (a check in progress is cancelled first), with the lab networks
    // and resolver the environment names. Rows without a host name and address are left out.
    void Start(const QString& domain, const std::vector<ListedServer>& servers);
    void Start(const CheckRequest& request);
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

    // Runs a check to its end with the program's responsive wait; for callers that wait for it.
    void RunToEnd(const CheckRequest& request);

private:
    void Add(const CheckLine& line);
    void Finished(const QString& summary);

    CancelToken cancel_;
    std::vector<CheckLine> lines_;
    QString summary_;
    bool running_ = false;
};

// The servers a domain record lists on its Name Servers tab, in order: host and typed address.
std::vector<ListedServer> ListedServersOf(const Record& record);
