// regiscribe-cli sent: the log of the registrations sent, newest first.
#include "cli/command.h"
#include "mail/sentcopy.h"
#include "platform/exception.h"
#include "platform/fullstop.h"

namespace {
int RunSent(CliContext& c) {
    RejectUnknownOptions(c.args);
    if (!c.args.isEmpty()) throw CliUsageError{"takes no arguments"};
    try {
        for (const QByteArray& line : ReadSentLogLines(SentFolderPath()))
            c.out << QString::fromUtf8(line) << '\n';
        return CliOk;
    } catch (const Exception& e) {
        c.err << WithFullStop(e.Message()) << '\n';
        return CliFailed;
    }
}

CliRegistration sent{{"sent", "regiscribe-cli sent", RunSent}};
} // namespace
