#include "lookup/lookupsettings.h"

#include "lookup/rdaplookup.h"
#include "store/inifile.h"

namespace {
const char* const Section = "Lookup";
}

LookupSettings ReadLookupSettings(const QString& settingsFile) {
    TIniFile ini(settingsFile);
    LookupSettings s;
    s.followKeyPresent = ini.HasKey(Section, "FollowReferrals");
    s.followReferrals = ini.ReadString(Section, "FollowReferrals", "0") == "1";
    s.rdapBootstrap = ini.ReadString(Section, "RdapBootstrap", QString());
    if (s.rdapBootstrap.isEmpty()) s.rdapBootstrap = TRdapLookup::DefaultBootstrap;
    return s;
}

void WriteLookupSettings(const QString& settingsFile, const LookupSettings& read, bool follow) {
    if (follow == read.followReferrals && !read.followKeyPresent) return;
    TIniFile(settingsFile).WriteString(Section, "FollowReferrals", follow ? "1" : "0");
}
