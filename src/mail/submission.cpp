#include "mail/submission.h"

#include "mail/msencoder.h"
#include "mail/mssmtp.h"
#include "mail/outgoing.h"
#include "mail/sentcopy.h"
#include "mail/submissiontexts.h"
#include "platform/messageboxes.h"
#include "templates/recordkinds.h"
#include "templates/requireditems.h"
#include "templates/showform.h"
#include "templates/templatewriters.h"

#include <exception>

namespace {
// Marks a send in progress for as long as it lives, so that the end is told on every path.
class BusyScope {
public:
    BusyScope(bool& busy, const std::function<void(bool)>& told) : busy_(busy), told_(told) {
        busy_ = true;
        if (told_) told_(true);
    }
    ~BusyScope() {
        busy_ = false;
        if (told_) told_(false);
    }

private:
    bool& busy_;
    const std::function<void(bool)>& told_;
};
} // namespace

TSubmission::TSubmission(TmsSMTP& smtp, TmsMessage& message, SubmissionDisplay& display)
    : smtp_(smtp), message_(message), display_(display) {}

SubmissionOutcome TSubmission::Submit(const SubmissionRequest& request, TemplateFiles& files) {
    // A press while the client is busy must not start a second session on it.
    if (busy_) return SubmissionOutcome::Busy;
    if (!smtp_.WinsockLoaded()) smtp_.SetWinsockLoaded(true);
    const Record& record = request.record;
    if (record.Name().isEmpty()) {
        Boxes().Information(EmptyNameMessage(record.kind));
        return SubmissionOutcome::NoName;
    }
    if (request.beforeConfirmation && !request.beforeConfirmation(record))
        return SubmissionOutcome::Declined;
    // Only Yes mails: closing the box must never send a registration. A new registration without
    // the items the registry requires is listed below the question, and Enter then answers No.
    if (request.confirm) {
        const QStringList empty =
            request.listEmptyRequired ? EmptyRequiredItems(record) : QStringList();
        const BoxAnswer answer =
            empty.isEmpty() ? Boxes().WarningYesNo(SubmissionConfirmation())
                            : Boxes().WarningYesNoDefaultNo(SubmissionConfirmation() + "\n\n" +
                                                            EmptyRequiredNote(empty));
        if (answer != BoxAnswer::Yes) return SubmissionOutcome::Declined;
    }

    // From here on the window keeps processing events (signing, asking for a password, sending):
    // no second send may start meanwhile.
    BusyScope scope(busy_, OnBusyChanged);
    WriteForm(record, files);
    // The memo does not wrap, so its lines are the file's lines: they are the message's body.
    const QStringList lines = ReadTextLines(files.formFile);
    if (request.loadHolder) request.loadHolder(lines);
    QStringList body = lines;
    bool signedBody = false;
    if (record.Text(AuthorizationControl(record.kind)) == "PGP") {
        const std::optional<QStringList> signedLines =
            request.signTemplate ? request.signTemplate(record, lines) : std::nullopt;
        if (!signedLines) {
            if (!request.chooseSigningKey)
                Boxes().Information(PgpSubmissionNotice());
            else if (Boxes().InformationWithButton(
                         PgpSubmissionNotice() + " " + PgpSigningKeyHint(), PgpSigningKeyButton()))
                request.chooseSigningKey();
            return SubmissionOutcome::Pgp;
        }
        body = *signedLines;
        signedBody = true;
    }
    if (request.beforeSending && !request.beforeSending()) return SubmissionOutcome::Declined;
    FillMessage(request, body);
    SendMessage(request, files, signedBody);
    return SubmissionOutcome::Sent;
}

void TSubmission::FillMessage(const SubmissionRequest& request, const QStringList& body) {
    message_.Recipients().Clear();
    message_.Recipients().AddAddress(request.mailTo, QString());
    // The message cuts the subject to its 255 characters.
    message_.SetSubject(SubjectName(request.record) + SubjectWords(request.record.kind));
    message_.SetBody(body);
}

void TSubmission::SendMessage(const SubmissionRequest& request, const TemplateFiles& files,
                              bool signedBody) {
    // What goes out is a copy with checked addresses, a date and an identifier; the window's
    // message keeps what the window gave it. A bad address stops here, before any connection.
    TmsMessage outgoing;
    const OutgoingStamp stamp = PrepareOutgoing(message_, outgoing);
    // A robot checks a signature on the text as it arrives.
    outgoing.SetBodyAsTyped(signedBody);
    // The registry has the message once the server accepts it: the copy, its log line and the
    // name list are written at that moment, before any box waits for the user (the program may
    // be ended while one is open), and the copy carries that time.
    QString copyProblem;
    std::exception_ptr nameListFailure;
    const OutgoingOnClient sending(smtp_, outgoing, [&] {
        const Record& record = request.record;
        const SentEntry entry{
            QDateTime::currentDateTime(),
            KindWord(record.kind),
            SubjectName(record),
            outgoing.Recipients().Count() ? outgoing.Recipients().Items(0).Address() : QString(),
            stamp.messageId,
            smtp_.AcceptReply(),
            signedBody && request.signer ? request.signer() : QString()};
        const Result<QString> kept = KeepSentCopy(SentFolderPath(), entry, smtp_.SentText());
        if (!kept) copyProblem = kept.Error();
        try {
            if (request.updateNameList) request.updateNameList(record, files);
        } catch (...) {
            // Told after the send: the message is out whatever the list's trouble.
            nameListFailure = std::current_exception();
        }
    });

    accepted_ = false;
    smtp_.Send();
    // The message was sent; a failed farewell, a signed text that could not go as typed and a
    // copy that could not be kept are only mentioned where the stages are shown.
    QStringList notes;
    if (!smtp_.FarewellProblem().isEmpty()) notes << FarewellWarning(smtp_.FarewellProblem());
    if (signedBody &&
        TypedBodyTransfer(outgoing, outgoing.EightBitTransport()) == BodyTransfer::QuotedPrintable)
        notes << QuotedPrintableSignatureNote(TypedBodyTransfer(outgoing, true) ==
                                              BodyTransfer::QuotedPrintable);
    // A copy that could not be kept does not undo a registration that went out.
    if (!copyProblem.isEmpty()) notes << CopyNotSavedWarning(copyProblem);
    if (!notes.isEmpty()) ShowOnEveryPage(notes.join(' '));
    if (nameListFailure) std::rethrow_exception(nameListFailure);
}

void TSubmission::ShowOnEveryPage(const QString& status) {
    for (RecordKind page : RecordKinds())
        display_.SetStatus(page, status);
}

void TSubmission::ShowStage(SmtpStage stage) {
    if (stage == SmtpStage::MailSent) accepted_ = true;
    const MailStatus status = StatusOfStage(stage);
    for (RecordKind page : RecordKinds()) {
        // The sent notice comes before the last page shows the closed connection.
        if (page == RecordKinds().back() && stage == SmtpStage::Closed && accepted_)
            Boxes().Information(SubmissionSentNotice());
        if (status.progress >= 0) display_.SetProgress(page, status.progress);
        display_.SetStatus(page, status.text);
    }
    if (stage == SmtpStage::MailSent) Boxes().Beep();
}

void ConnectStageEvents(TmsSMTP& smtp, TSubmission& flow) {
    auto route = [&flow](SmtpStage stage) {
        return [&flow, stage](QObject*) { flow.ShowStage(stage); };
    };
    smtp.OnOpen = route(SmtpStage::Open);
    smtp.OnPrepare = route(SmtpStage::Prepare);
    smtp.OnSending = route(SmtpStage::Sending);
    smtp.OnMailSent = route(SmtpStage::MailSent);
    smtp.OnClosing = route(SmtpStage::Closing);
    smtp.OnClosed = route(SmtpStage::Closed);
    smtp.OnCancel = route(SmtpStage::Cancel);
}
