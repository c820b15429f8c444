#pragma once
// GnuPG's reason when it could not reach the agent or read the keyring, found in its diagnostics
// ("can't connect to the agent: Read-only file system"); empty when there is none. GnuPG reports
// such a run only as keys without secret parts, no keys, or "No secret key". Shared by the OpenPGP
// module and the signing run, which both read GnuPG's diagnostics.
#include <QLatin1String>
#include <QString>
#include <QStringList>

inline QString GnupgTrouble(const QStringList& diagnostics) {
    for (const char* sign : {"can't connect to the agent", "keyblock resource", "Fatal: "})
        for (const QString& line : diagnostics)
            if (line.contains(QLatin1String(sign)))
                return (line.startsWith("gpg: ") ? line.mid(5) : line).trimmed();
    return QString();
}
