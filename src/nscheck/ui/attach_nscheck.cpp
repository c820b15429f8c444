// The name-server check on the domain page: the "Check" button and its window, and the "Check
// before mailing" box with its question before a new domain is mailed.
#include "app/ui/attach.h"
#include "app/ui/form1.h"
#include "nscheck/ui/nscheckdlg.h"
#include "platform/guard.h"
#include "platform/messageboxes.h"
#include "platform/wait.h"
#include "store/flagsetting.h"
#include "templates/ui/windowrecord.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <memory>

namespace {
const char* const kSection = "Lookup";
const char* const kKey = "CheckNameServers";

// The window, made at the first use, with the page's texts as they stand.
TNSCheckDlg& CheckWindow(TForm1& form) {
    auto* dialog = form.findChild<TNSCheckDlg*>("NSCheckDlg");
    if (!dialog) {
        dialog = new TNSCheckDlg(&form);
        dialog->OnCheckAgain = [&form, dialog] {
            const Record record = ReadRecord(form, RecordKind::Domain);
            dialog->Run(record.Name(), ListedServersOf(record));
        };
    }
    return *dialog;
}

void ShowCheck(TForm1& form) {
    TNSCheckDlg& dialog = CheckWindow(form);
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    dialog.OnCheckAgain();
}

// Before a new domain's confirmation, when the box is checked: the check, and with errors the
// question. Closing the check's window while it runs mails nothing.
bool CheckBeforeMailing(TForm1& form, const Record& record) {
    auto* box = form.Control<QCheckBox>("CheckBeforeMailBox");
    if (!box || !box->isChecked() || record.kind != RecordKind::Domain || record.action != "N")
        return true;
    ShowCheck(form);
    TNSCheckDlg& dialog = CheckWindow(form);
    TNameServerCheck& check = dialog.Check();
    WaitUntil([&check] { return !check.Running(); });
    if (check.Summary().isEmpty()) return false; // cancelled
    const int errors = check.Errors();
    if (errors == 0) return true;
    // No is the default: Enter pressed twice must not mail a registration the check found broken.
    return Boxes().WarningYesNoDefaultNo("The name server check found " + Counted(errors, "error") +
                                         ". Mail the registration anyway?") == BoxAnswer::Yes;
}
} // namespace

void AttachNameServerCheck(TForm1& form) {
    if (auto* button = form.Control<QAbstractButton>("CheckNSButton"))
        QObject::connect(button, &QAbstractButton::clicked, &form,
                         [&form] { Guarded([&form] { ShowCheck(form); }); });
    auto* box = form.Control<QCheckBox>("CheckBeforeMailBox");
    if (!box) return;
    auto read = std::make_shared<FlagSetting>();
    form.CreateSteps.push_back([&form, box, read] {
        *read = ReadFlagSetting(form.SettingsFile, kSection, kKey);
        box->setChecked(read->value);
    });
    form.CloseSteps.push_back([&form, box, read] {
        WriteFlagSetting(form.SettingsFile, kSection, kKey, *read, box->isChecked());
    });
    form.BeforeMailConfirmation = [&form](const Record& record) {
        return CheckBeforeMailing(form, record);
    };
}
