// regiscribe-cli write: Show Form of a record kind's page, without the window.
#include "cli/command.h"
#include "cli/recordargs.h"
#include "platform/exception.h"
#include "platform/fullstop.h"
#include "platform/messageboxes.h"
#include "templates/showform.h"
#include "templates/storesteps.h"

namespace {
const char* const kUsage =
    "regiscribe-cli write KIND NAME [--set FIELD=VALUE]... [--action N|M|D] [--public Y|N]";

int RunWrite(CliContext& c) {
    const RecordArguments parsed = ParseRecordArguments(c.args);
    if (parsed.name.isEmpty()) {
        c.err << DisplayedText(EmptyNameMessage(parsed.kind)) << "\n";
        return CliFailed;
    }
    try {
        const Record record = BuildRecord(parsed);
        TemplateFiles files;
        ShowFormSteps steps;
        steps.updateNameList = StoreSteps().updateNameListFile;
        ShowFormFlow(record, files, steps);
        c.out << files.formFile << "\n";
        return CliOk;
    } catch (const Exception& e) {
        c.err << WithFullStop(e.Message()) << "\n";
        return CliFailed;
    }
}

CliRegistration registration({"write", kUsage, RunWrite});
} // namespace
