#include "mail/submissiontexts.h"

#include "templates/recordkinds.h"
#include "templates/templatelines.h"

QString SubmissionConfirmation() {
    return "You are about to mail this registration.  We strongly suggest you click SHOW FORM and "
           "review your entries before you proceed.  Click YES to mail the registration.  Click "
           "NO to cancel.";
}

QString PgpSubmissionNotice() {
    return "You have selected PGP as your Authorization type. If you wish to use PGP Encryption, "
           "cut and paste the form out of the window and use PGP software to mail it.";
}

QString PgpSigningKeyHint() {
    return "To sign inside the program, choose an OpenPGP key in File > Setup > Security.";
}

QString PgpSigningKeyButton() {
    return "Choose &Key...";
}

QString SigningKeyText(const QString& keyId, const QString& name) {
    return keyId + (name.isEmpty() ? QString() : " (" + name + ")");
}

QString SignedWithNote(const QString& key) {
    return "signed with " + key;
}

QString SubmissionSentNotice() {
    return "Your registratuion has been sent.";
}

QString FarewellWarning(const QString& problem) {
    return "Connection closed; QUIT: " + problem;
}

QString CopyNotSavedWarning(const QString& problem) {
    return "Sent; the copy could not be saved: " + problem;
}

QString QuotedPrintableSignatureNote(bool longLine) {
    return QString("Sent; the signed text went quoted-printable, as ") +
           (longLine ? "a line of it is longer than 998 bytes."
                     : "the server does not offer 8BITMIME.") +
           " A robot must decode it before checking the signature.";
}

QString SubjectName(const Record& record) {
    return KindOf(record.kind).nameIsHostName ? NameForRobot(record.Name()) : record.Name();
}

QString SubjectWords(RecordKind kind) {
    return KindOf(kind).subjectWords;
}

QString AuthorizationControl(RecordKind kind) {
    return KindOf(kind).authorizationField;
}
