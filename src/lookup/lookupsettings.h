#pragma once
// The look-ups' section "Lookup" of the settings file: whether the WhoIs tab follows WHOIS
// referrals ("FollowReferrals", "1" or "0"), which WHOIS server it asks ("WhoisServer", HOST or
// HOST:PORT) and where the RDAP bootstrap files lie ("RdapBootstrap"). The first two are written
// only once changed or when the file holds them, so the described file stays as it was for a user
// who never touches them.
#include "store/flagsetting.h"

#include <QString>

struct LookupSettings {
    bool followReferrals = false;
    bool followKeyPresent = false; // the file holds "FollowReferrals"
    TextSetting whoisServer;       // the registry's server when the file names none
    QString rdapBootstrap;         // the default when the file names none
};

LookupSettings ReadLookupSettings(const QString& settingsFile);
// Writes "FollowReferrals" and "WhoisServer" when they differ from `read` or the file held them.
void WriteLookupSettings(const QString& settingsFile, const LookupSettings& read, bool follow,
                         const QString& whoisServer);
