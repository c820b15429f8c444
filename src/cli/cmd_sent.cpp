// regiscribe-cli sent: the log of the registrations sent, newest first.
#include "cli/command.h"
#include "mail/sentcopy.h"
#include "platform/fullstop.h"
#include "platform/peertext.h"

namespace {
int RunSent(CliContext& c) {
    RejectUnknownOptions(c.args);
    if (!c.args.isEmpty()) throw CliUsageError{"takes no arguments"};
    const Result<QList<QByteArray>> lines = ReadSentLogLines(SentFolderPath());
    if (!lines) {
        c.err << WithFullStop(lines.Error()) << '\n';
        return CliFailed;
    }
    // A log written by an older version may hold a server's control characters as they came.
    for (const QByteArray& line : *lines)
        c.out << PeerTextFromBytes(line, PeerTextLines::Escape) << '\n';
    return CliOk;
}

CliRegistration sent{{"sent", "regiscribe-cli sent", RunSent}};
} // namespace
