#pragma once
// The signed parts of a message, found for the OpenPGP check: the cleartext-signed blocks of a
// text, and in a mail message (a header whatever its form, folded or not, after an mbox "From "
// line or none) those of its text/plain parts in order, their transfer encoding undone, and its
// PGP/MIME multipart/signed parts (RFC 3156). What is not signed is counted, so that the reader
// is told of it.
#include "openpgp/openpgp.h"
#include "platform/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

struct SignedPart {
    enum class Form { ClearSigned, PgpMime };
    Form form = Form::ClearSigned;
    // ClearSigned: from "-----BEGIN PGP SIGNED MESSAGE-----" to the end of "-----END PGP
    // SIGNATURE-----".
    QByteArrayView block;
    // PgpMime: the signed part exactly as signed (header and body, CR LF line ends), its
    // signature, and the text it shows (its text/plain parts, transfer encoding undone).
    QByteArray data, signature, text;
};

struct SignedParts {
    std::vector<SignedPart> parts;
    // The lines of text (blank ones not counted) outside every signed part: before the first,
    // between two, after the last.
    qsizetype linesBefore = 0, linesBetween = 0, linesAfter = 0;
    // Decoded bodies that the blocks of `parts` point into.
    std::vector<QByteArray> decoded;
};

// Finds the signed parts of `message` (a mail message or plain text). The blocks point into
// `message` or into the result: both must outlive the use. Fails with the reason when a part
// cannot be decoded.
Result<SignedParts> SignedPartsIn(const QByteArray& message);

// The check of one part by the user's GnuPG.
Result<SignatureVerdict> CheckSignedPart(const SignedPart& part);
