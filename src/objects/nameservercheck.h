#pragma once
// The name-server check of a domain object: its zone and its nserver: lines (the glue as the
// typed addresses) given to the program's name-server check, its findings as the object's check
// lines. The one place that calls that check, whose interface is being reworked.
#include "objects/checkline.h"
#include "objects/rpslobject.h"

#include <QObject>
#include <functional>
#include <memory>

struct NameServerFindings {
    ObjectCheckLines lines;
    QString summary;
    int Errors() const { return CountVerdicts(lines, CheckVerdict::Error); }
};

// Runs the check to its end, the window's events flowing meanwhile.
NameServerFindings CheckDomainNameServers(const RpslObject& domain);

// The same for a page that shows the lines as they come.
class DomainNameServerCheck : public QObject {
public:
    explicit DomainNameServerCheck(QObject* parent = nullptr);
    ~DomainNameServerCheck() override;
    void Start(const RpslObject& domain);
    void Cancel();
    bool Running() const;

    std::function<void(const ObjectCheckLine& line)> OnLine;
    std::function<void(const NameServerFindings& findings)> OnFinished;

private:
    struct Check;
    std::unique_ptr<Check> check_;
};
