#pragma once
// The look-ups' section "Lookup" of the settings file: whether the WhoIs tab follows WHOIS
// referrals ("FollowReferrals", "1" or "0") and where the RDAP bootstrap files lie
// ("RdapBootstrap"). "FollowReferrals" is written only once changed or when the file holds it, so
// the described file stays as it was for a user who never touches it.
#include <QString>

struct LookupSettings {
    bool followReferrals = false;
    bool followKeyPresent = false; // the file holds "FollowReferrals"
    QString rdapBootstrap;         // the default when the file names none
};

LookupSettings ReadLookupSettings(const QString& settingsFile);
// Writes "FollowReferrals" when it differs from `read` or the file held it.
void WriteLookupSettings(const QString& settingsFile, const LookupSettings& read, bool follow);
