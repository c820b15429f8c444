// regiscribe-cli check-ns: the name-server check of the domain page's Name Servers tab.
#include "cli/command.h"
#include "cli/recordargs.h"
#include "nscheck/nscheck.h"
#include "platform/exception.h"
#include "platform/fullstop.h"
#include "templates/templatefiles.h"

#include <QFileInfo>

namespace {
int RunCheckNs(CliContext& c) {
    const QString recordName = TakeOption(c.args, "--record");
    const bool noIpv6 = TakeFlag(c.args, "--no-ipv6");
    RejectUnknownOptions(c.args);
    c.args.removeAll("--");
    QString domain;
    std::vector<ListedServer> servers;
    if (!recordName.isEmpty()) {
        if (!c.args.isEmpty()) throw CliUsageError{"--record takes no DOMAIN or HOST"};
        try {
            const Record record = BuildRecord(ParseRecordArguments({"domain", recordName}));
            if (!QFileInfo::exists(RecordFileOf(RecordKind::Domain, recordName))) {
                c.err << "There is no domain record " << recordName << ".\n";
                return CliFailed;
            }
            domain = record.Name();
            servers = ListedServersOf(record);
        } catch (const Exception& e) {
            c.err << WithFullStop(e.Message()) << '\n';
            return CliFailed;
        }
    } else {
        if (c.args.size() < 2) throw CliUsageError{"expects DOMAIN and at least one HOST"};
        domain = c.args.takeFirst();
        for (const QString& word : c.args) {
            const qsizetype eq = word.indexOf('=');
            servers.push_back(
                {eq < 0 ? word : word.left(eq), eq < 0 ? QString() : word.mid(eq + 1)});
        }
    }
    TNameServerCheck check;
    check.OnLine = [&c](const CheckLine& line) {
        c.out << line.Rendered() << '\n';
        c.out.flush();
    };
    CheckRequest request = CheckRequest::FromEnvironment(domain, servers);
    request.skipIpv6 = noIpv6;
    check.RunToEnd(request);
    c.out << check.Summary() << '\n';
    return check.Errors() == 0 ? CliOk : CliFailed;
}

CliRegistration checkNs{{"check-ns",
                         "regiscribe-cli check-ns [--no-ipv6] DOMAIN HOST[=ADDRESS]...\n"
                         "  regiscribe-cli check-ns [--no-ipv6] --record NAME",
                         RunCheckNs}};
} // namespace
