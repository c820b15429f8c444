// regiscribe-cli submit: the mail button of a record kind's page, without the window and without
// the confirmation box.
#include "cli/command.h"
#include "cli/recordargs.h"
#include "cli/securemail.h"
#include "mail/mssmtp.h"
#include "mail/submission.h"
#include "mail/submissiontexts.h"
#include "openpgp/openpgp.h"
#include "platform/fullstop.h"
#include "platform/messageboxes.h"
#include "platform/peertext.h"
#include "store/setupsettings.h"
#include "templates/recordkinds.h"
#include "templates/showform.h"
#include "templates/storesteps.h"

#include <memory>

namespace {
const char* const kUsage =
    "regiscribe-cli submit KIND NAME [--set FIELD=VALUE]... [--action N|M|D] [--public Y|N]\n"
    "                      [--password-command CMD] [--trace] [--sign-key KEY]\n"
    "                      [--passphrase-command CMD]";

// Each status line text once, as the pages show it.
class PrintedStatus : public SubmissionDisplay {
public:
    explicit PrintedStatus(QTextStream& out) : out_(out) {}
    void SetProgress(RecordKind, int) override {}
    void SetStatus(RecordKind page, const QString& text) override {
        if (page != RecordKinds().front()) return;
        // Status lines may carry a server's words.
        out_ << PeerText(text) << '\n';
        out_.flush();
    }

private:
    QTextStream& out_;
};

// The sent box is the last line of a good send; every other box tells why the job stopped.
class SubmissionBoxes : public MessageBoxes {
public:
    SubmissionBoxes(QTextStream& out, QTextStream& err) : out_(out), err_(err) {}
    void Information(const QString& text) override {
        QTextStream& s = text == SubmissionSentNotice() ? out_ : err_;
        s << PeerText(DisplayedText(text)) << '\n';
        s.flush();
    }
    BoxAnswer WarningYesNo(const QString& text) override {
        Information(text);
        return BoxAnswer::No;
    }
    void Error(const QString& text) override { Information(text); }
    void Beep() override {}

private:
    QTextStream& out_;
    QTextStream& err_;
};

int RunSubmit(CliContext& c) {
    const SecureMailOptions secure = TakeSecureMailOptions(c.args, false);
    const QString signKey = TakeOption(c.args, "--sign-key");
    const QString passphraseCommand = TakeOption(c.args, "--passphrase-command");
    const RecordArguments parsed = ParseRecordArguments(c.args);
    SetBoxes(std::make_shared<SubmissionBoxes>(c.out, c.err));
    if (parsed.name.isEmpty()) {
        Boxes().Information(EmptyNameMessage(parsed.kind));
        return CliFailed;
    }
    try {
        SubmissionRequest request;
        request.record = BuildRecord(parsed);
        request.confirm = false;
        request.updateNameList = StoreSteps().updateNameListFile;

        const SetupSettings setup = ReadSetup(c.settingsFile);
        request.mailTo = setup.mailto;
        TmsMessage message;
        message.SetContentType("text/plain");
        message.Sender().SetAddress(setup.address);
        message.Sender().SetName(setup.name);
        TmsSMTP smtp;
        smtp.SetServer(setup.server);
        smtp.SetMailMessage(&message);
        const std::optional<TMailSecurity> security = SecurityFromName(setup.security);
        if (!security)
            throw EMailSecurityError("The settings file's \"Security\" is " + setup.security +
                                     "; it must be None, STARTTLS or TLS");
        smtp.SetSecurity(*security);
        smtp.SetUser(setup.user);
        // The PGP scheme signs with the key given, else the window's choice.
        request.signTemplate = [&](const Record& record,
                                   const QStringList& lines) -> std::optional<QStringList> {
            Result<std::optional<QStringList>> signedLines =
                SignTemplate(record, lines, setup.openPgpKey, signKey, passphraseCommand);
            if (!signedLines) throw ESigningError(signedLines.Error());
            return signedLines.Value();
        };
        // The password is looked for once it is sure that a message will go out.
        request.beforeSending = [&] {
            ApplySecureMail(smtp, secure, c.err);
            return true;
        };

        PrintedStatus display(c.out);
        TSubmission flow(smtp, message, display);
        ConnectStageEvents(smtp, flow);
        TemplateFiles files;
        return flow.Submit(request, files) == SubmissionOutcome::Sent ? CliOk : CliFailed;
    } catch (const Exception& e) {
        c.out.flush();
        c.err << PeerText(WithFullStop(e.Message())) << '\n';
        return CliFailed;
    }
}

CliRegistration registration({"submit", kUsage, RunSubmit});
} // namespace
