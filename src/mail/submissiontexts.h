#pragma once
// The fixed texts and per-kind values of mailing a registration: the boxes the mail buttons show,
// the subject's fixed words and the authorization selector whose "PGP" stops a send.
#include "templates/recordmodel.h"

#include <QString>

// The warning asked before anything is written (two blanks after each full stop).
QString SubmissionConfirmation();
// Shown instead of mailing when the authorization scheme is "PGP".
QString PgpSubmissionNotice();
// Added to that box where the program can sign, and the caption of its button that goes there.
QString PgpSigningKeyHint();
QString PgpSigningKeyButton();
// The signing key as the sent log keeps it and the windows name it: `keyId`, and its holder
// `name` in parentheses when known.
QString SigningKeyText(const QString& keyId, const QString& name);
// "signed with KEY": the status line's addition after a signed send and the Sent list's cell.
QString SignedWithNote(const QString& key);
// Shown when the connection closes after the server accepted the message.
QString SubmissionSentNotice();
// The status line after a send whose message was accepted but whose QUIT went wrong.
QString FarewellWarning(const QString& problem);
// The status line after a send whose message was accepted but whose copy could not be kept.
QString CopyNotSavedWarning(const QString& problem);

// The status line after a send whose signed text went quoted-printable: a robot that checks the
// signature on the text as it arrives finds it broken. `longLine`: a line passes 998 bytes; else
// the server does not offer 8BITMIME.
QString QuotedPrintableSignatureNote(bool longLine);

// The record name as the subject carries it: a domain or host name as its A-label, so that the
// subject, the template and the kept copy name a registration one way.
QString SubjectName(const Record& record);
// The words after the record name in the subject: " Internic DOMAIN Registration" and so on.
QString SubjectWords(RecordKind kind);
// "AuthScheme", "HostAuthScheme" or "ContactAuthorizationType".
QString AuthorizationControl(RecordKind kind);
