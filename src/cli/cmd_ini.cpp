// regiscribe-cli ini get|set: one key of an INI file, read or written by the program's own engine.
#include "cli/command.h"
#include "platform/fullstop.h"
#include "store/inifile.h"

namespace {
int RunIni(CliContext& c) {
    // Words after "--" are taken as they are, so a value may start with a dash.
    QStringList args = c.args;
    RejectUnknownOptions(args);
    args.removeOne("--");
    if (args.isEmpty()) throw CliUsageError{"get or set expected"};
    const QString verb = args.takeFirst();
    if (verb == "get") {
        if (args.size() != 3) throw CliUsageError{"get takes FILE SECTION KEY"};
        c.out << TIniFile(args[0]).ReadString(args[1], args[2], QString()) << "\n";
        return CliOk;
    }
    if (verb == "set") {
        if (args.size() != 4) throw CliUsageError{"set takes FILE SECTION KEY VALUE"};
        try {
            TIniFile(args[0]).WriteString(args[1], args[2], args[3]);
        } catch (const Exception& e) {
            c.err << WithFullStop(e.Message()) << "\n";
            return CliFailed;
        }
        return CliOk;
    }
    throw CliUsageError{"unknown verb " + verb};
}

CliRegistration ini{{"ini",
                     "regiscribe-cli ini get FILE SECTION KEY\n"
                     "  regiscribe-cli ini set FILE SECTION KEY VALUE",
                     RunIni}};
} // namespace
