#pragma once
// A cleartext signature made by one run of gpg, started by the program itself: through the OpenPGP
// module (GPGME) a signature cost three GnuPG runs (its version, the key, the signature), most of
// the time of a short `sign`. The run streams: memory stays flat whatever the text's size. A
// loopback passphrase is asked for only when GnuPG asks for one.
#include "openpgp/openpgpbackend.h"

#include <QString>

class QIODevice;

// Where the program's GnuPG is: the place the OpenPGP module's library looks as well.
inline constexpr const char* GnupgProgram = "/usr/bin/gpg";

// What the run came to. Its words are the caller's to choose: GnuPG gives codes.
struct GnupgSigning {
    bool made = false;          // the whole signature went to `out`
    QString ours;               // why the program itself gave up: the passphrase source's failure,
                                // gpg could not start, `out` could not be written
    QString trouble;            // GnuPG's line about an agent or keyring it could not use
    bool signerRefused = false; // GnuPG would not sign with the key named
    unsigned errorCode = 0;     // GnuPG's error code for the failure (0 when it gave none)
};

// Signs all that `in` gives with the key `signer` names (a fingerprint), into `out`.
GnupgSigning SignWithGnupg(QIODevice& in, QIODevice& out, const QString& signer,
                           const PassphraseSource& passphrase);
