#pragma once
// Whether a reply is signed, and by whom: its OpenPGP cleartext signature checked by the OpenPGP
// module (through the user's GnuPG and keyring). Text outside the signed part is never hidden:
// the line says that it is not covered.
#include "replies/replymessage.h"

#include <QString>

struct ReplySignature {
    enum class Kind {
        Unsigned,  // no signature
        Good,      // a valid signature by a key of the keyring
        NotValid,  // a signature that does not fit the text
        Unchecked, // signed, but the check could not be made (no public key, no GnuPG, ...)
    } kind = Kind::Unsigned;
    bool textOutside = false; // text stands before or after the signed part
    // "signed by NAME <ADDRESS> (FINGERPRINT)", "signature NOT valid ...", "signature NOT
    // checked: ...", each with "; the text outside the signed part is NOT signed" when so.
    QString line;
};

// Checks the signature of `reply`; blocks while GnuPG works (run it off the window thread).
ReplySignature CheckReplySignature(const ReplyMessage& reply);
