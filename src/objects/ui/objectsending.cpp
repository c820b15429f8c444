#include "objects/ui/objectsending.h"

#include "app/ui/form1.h"
#include "mail/mailstatus.h"
#include "mail/msmsg.h"
#include "mail/mssmtp.h"
#include "mail/submissiontexts.h"
#include "mail/ui/mailsubmission.h"
#include "objects/nameservercheck.h"
#include "objects/objectcheck.h"
#include "objects/objectrecords.h"
#include "objects/objectsigning.h"
#include "objects/ui/objectspage.h"
#include "platform/exception.h"
#include "platform/messageboxes.h"
#include "platform/wait.h"
#include "store/ui/storebehaviour.h"

#include <QInputDialog>
#include <QProgressBar>
#include <QPushButton>

namespace {
// The check ends itself within seconds; this only guards against one that never says so.
constexpr int kNameServerCheckLimitMs = 60000;

QString Count(int n, const char* one, const char* many) {
    return QString("%1 %2").arg(n).arg(n == 1 ? one : many);
}
} // namespace

std::optional<QString> AskMaintainerPassword(QWidget* parent, const QString& registryName) {
    QInputDialog dialog(parent);
    dialog.setObjectName("MaintainerPasswordDlg");
    dialog.setWindowTitle("Maintainer Password");
    dialog.setLabelText("The maintainer's password, sent to " + registryName +
                        " on a password: line of this message only:");
    dialog.setTextEchoMode(QLineEdit::Password);
    const bool given = dialog.exec() == QDialog::Accepted && !dialog.textValue().isEmpty();
    const QString password = dialog.textValue();
    dialog.setTextValue(QString());
    if (!given) return std::nullopt;
    return password;
}

TObjectSender::TObjectSender(TForm1& form, TObjectsPage& page, TMailSubmission& mail)
    : QObject(&page), form_(form), page_(page), mail_(mail) {
    setObjectName("ObjectSender");
}

bool TObjectSender::CheckObjects(const std::vector<MessageObject>& objects, int& warnings) {
    const RuleTable& rules = *page_.Rules();
    QStringList errors;
    page_.ShowCheckLines({});
    std::vector<RpslObject> all;
    for (const MessageObject& m : objects) {
        CheckOptions options;
        options.action = m.action;
        options.secretKeyHeld = [](const QString& keyId) { return SecretKeyHeld(keyId); };
        const ObjectCheckLines lines =
            CheckObject(m.object, page_.CurrentRegistry(), rules, options);
        const QString title = ActionWord(m.action) + " " + ObjectTitle(m.object, rules);
        page_.ShowCheckLines(lines, title, true);
        warnings += CountVerdicts(lines, CheckVerdict::Warning);
        for (const ObjectCheckLine& line : lines)
            if (line.verdict == CheckVerdict::Error) errors << title + ": " + line.Rendered();
        all.push_back(m.object);
    }
    const ObjectCheckLines across = CheckMessageReferences(all, rules);
    page_.ShowCheckLines(across, QString(), true);
    warnings += CountVerdicts(across, CheckVerdict::Warning);
    for (const ObjectCheckLine& line : across)
        if (line.verdict == CheckVerdict::Error) errors << line.Rendered();
    if (errors.isEmpty()) return true;
    Boxes().Error("Nothing was mailed: the check found " +
                  Count(int(errors.size()), "error", "errors") + ".\n\n" + errors.join('\n'));
    page_.SetStatus("Not sent: the check found " + Count(int(errors.size()), "error", "errors") +
                    ".");
    return false;
}

bool TObjectSender::CheckNameServers(const std::vector<MessageObject>& objects, int& warnings) {
    for (const MessageObject& m : objects) {
        if (m.object.ClassName() != "domain" || m.action == ObjectAction::Delete) continue;
        const QString title = ObjectTitle(m.object, *page_.Rules());
        page_.SetStatus("Checking the name servers of " + title + "...");
        page_.ShowCheckLines({}, title + ": its name servers", true);
        // Each line shows as the check finds it; the window stays responsive meanwhile.
        DomainNameServerCheck check;
        std::optional<NameServerFindings> found;
        check.OnLine = [this](const ObjectCheckLine& line) {
            page_.ShowCheckLines({line}, QString(), true);
        };
        check.OnFinished = [&found](const NameServerFindings& findings) { found = findings; };
        check.Start(m.object);
        if (!WaitUntil([&found] { return found.has_value(); }, kNameServerCheckLimitMs)) {
            check.Cancel();
            Boxes().Error("Nothing was mailed: the name servers of " + title +
                          " could not be checked in time.");
            page_.SetStatus("Not sent: the name-server check did not finish.");
            return false;
        }
        page_.ShowCheckLines({}, found->summary, true);
        warnings += CountVerdicts(found->lines, CheckVerdict::Warning);
        if (found->Errors() > 0) {
            QStringList errors;
            for (const ObjectCheckLine& line : found->lines)
                if (line.verdict == CheckVerdict::Error) errors << line.Rendered();
            Boxes().Error("Nothing was mailed: the name servers of " + title + " have " +
                          Count(found->Errors(), "error", "errors") + " the registry refuses.\n\n" +
                          errors.join('\n'));
            page_.SetStatus("Not sent: the name servers have errors.");
            return false;
        }
    }
    return true;
}

bool TObjectSender::Authenticate(ObjectMail& mail) {
    mail.signingKey = page_.Store().Settings().openPgpKey.trimmed();
    if (mail.signingKey.isEmpty() && mail.registry.TakesPasswords()) {
        mail.password = AskMaintainerPassword(&page_, mail.registry.name);
        if (!mail.password) {
            page_.SetStatus("Not sent: no maintainer password given.");
            return false;
        }
    }
    if (const Done ok = CheckMailAuthentication(mail); !ok) {
        Boxes().Error(ok.Error() + " Nothing was mailed.");
        page_.SetStatus("Not sent: nothing proves the message is yours.");
        return false;
    }
    return true;
}

bool TObjectSender::SetUpClient(TmsSMTP& smtp) {
    const TmsSMTP& window = *form_.msSMTP1;
    smtp.SetServer(window.Server());
    smtp.SetDefaultPort(window.DefaultPort());
    smtp.SetSecurity(window.Security());
    smtp.SetUser(window.User());
    smtp.SetTimeOut(window.TimeOut());
    smtp.SetWinsockLoaded(true);
    // The mail server's password, as the registration pages find it (memory, keyring, asked).
    if (!mail_.PreparePassword()) return false;
    if (const auto password = mail_.KnownPassword(window.User(), window.Server()))
        smtp.SetPassword(*password);
    ShowStatusOf(smtp, [this](const MailStatus& status) {
        if (status.progress >= 0) page_.Progress->setValue(status.progress);
        page_.SetStatus(status.text);
    });
    return true;
}

void TObjectSender::MailClick() {
    if (busy_ || !page_.Rules()) return;
    const std::vector<MessageObject> objects = page_.ObjectsToMail();
    if (objects.empty()) return;
    busy_ = true;
    // While it goes, the message stays as it is: no second Mail, nothing added or taken out.
    page_.SetMessageLocked(true);
    struct Ready {
        TObjectSender& sender;
        ~Ready() {
            sender.busy_ = false;
            sender.page_.SetMessageLocked(false);
        }
    } ready{*this};

    int warnings = 0;
    if (!CheckObjects(objects, warnings) || !CheckNameServers(objects, warnings)) return;
    ObjectMail mail;
    mail.registry = page_.CurrentRegistry();
    mail.objects = objects;
    const QString question =
        (warnings > 0 ? "The check found " + Count(warnings, "warning", "warnings") + ". " : "") +
        "Mail " + Count(int(objects.size()), "object", "objects") + " to " + mail.registry.robot +
        "?";
    if (Boxes().WarningYesNo(question) != BoxAnswer::Yes) {
        page_.SetStatus("Not sent.");
        return;
    }
    if (!Authenticate(mail)) return;
    Send(mail);
}

void TObjectSender::Send(const ObjectMail& mail) {
    const RuleTable& rules = *page_.Rules();
    for (const MessageObject& m : mail.objects)
        if (m.action != ObjectAction::Delete)
            if (const Done saved = SaveObjectRecord(m.object, rules); !saved) {
                Boxes().Error(saved.Error() + "; nothing was mailed.");
                return;
            }
    TmsSMTP smtp;
    if (!SetUpClient(smtp)) {
        page_.SetStatus("Not sent: no password given.");
        return;
    }
    const Result<ObjectMailReceipt> receipt =
        SendObjectMail(smtp, form_.msMessage1->Sender(), mail, rules);
    if (!receipt) {
        page_.Progress->setValue(0);
        Boxes().Error(receipt.Error());
        return;
    }
    QStringList notes;
    for (const MessageObject& m : mail.objects)
        if (const Done listed =
                UpdateObjectNameList(m.object.ClassName(), ObjectKey(m.object, rules), m.action);
            !listed)
            notes << "The name list was not updated: " + listed.Error();
    page_.MessageSent();
    if (!receipt->farewellProblem.isEmpty()) notes << FarewellWarning(receipt->farewellProblem);
    if (!receipt->copyProblem.isEmpty()) notes << CopyNotSavedWarning(receipt->copyProblem);
    page_.SetStatus(notes.isEmpty() ? "Sent to " + mail.registry.robot + ": " + receipt->subject
                                    : notes.join(' '));
    Boxes().Information("The message \"" + receipt->subject + "\" was sent to " +
                        mail.registry.robot + ". Its robot answers by mail.");
}
