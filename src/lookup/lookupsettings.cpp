#include "lookup/lookupsettings.h"

#include "lookup/rdaplookup.h"
#include "lookup/whoislookup.h"
#include "store/inifile.h"

namespace {
const char* const Section = "Lookup";
}

LookupSettings ReadLookupSettings(const QString& settingsFile) {
    TIniFile ini(settingsFile);
    LookupSettings s;
    const FlagSetting follow = ReadFlagSetting(settingsFile, Section, "FollowReferrals");
    s.followKeyPresent = follow.present;
    s.followReferrals = follow.value;
    s.whoisServer =
        ReadTextSetting(settingsFile, Section, "WhoisServer", WhoisLookup::RegistryServer);
    s.rdapBootstrap = ini.ReadString(Section, "RdapBootstrap", QString());
    if (s.rdapBootstrap.isEmpty()) s.rdapBootstrap = TRdapLookup::DefaultBootstrap;
    return s;
}

void WriteLookupSettings(const QString& settingsFile, const LookupSettings& read, bool follow,
                         const QString& whoisServer) {
    WriteFlagSetting(settingsFile, Section, "FollowReferrals",
                     {read.followReferrals, read.followKeyPresent}, follow);
    WriteTextSetting(settingsFile, Section, "WhoisServer", read.whoisServer, whoisServer);
}
