#include "replies/replysettings.h"

#include "lookup/serveraddress.h"
#include "store/inifile.h"

#include <QRegularExpression>
#include <algorithm>
#include <vector>

namespace {
const char kSection[] = "Replies";
constexpr int kDefaultCheckMinutes = 10;
constexpr int kLongestCheckMinutes = 7 * 24 * 60;
} // namespace

ReplySettings ReadReplySettings(const QString& settingsFile) {
    const TIniFile ini(settingsFile);
    ReplySettings s;
    s.server = ini.ReadString(kSection, "Server", QString()).trimmed();
    s.security = ini.ReadString(kSection, "Security", QString()).trimmed();
    s.user = ini.ReadString(kSection, "User", QString());
    s.folder = ini.ReadString(kSection, "Folder", QString());
    bool ok = false;
    const int minutes = ini.ReadString(kSection, "Check", QString()).trimmed().toInt(&ok);
    s.checkMinutes = ok ? std::clamp(minutes, 0, kLongestCheckMinutes) : kDefaultCheckMinutes;
    const int seconds = ini.ReadString(kSection, "Check Seconds", QString()).trimmed().toInt(&ok);
    s.checkSeconds = ok ? std::clamp(seconds, 0, kLongestCheckMinutes * 60) : 0;
    s.smtpUser = ini.ReadString("Setup", "User", QString());
    return s;
}

void WriteReplySettings(const QString& settingsFile, const ReplySettings& settings) {
    const TIniFile ini(settingsFile);
    std::vector<TIniFile::KeyValue> values;
    const QString check = QString::number(settings.checkMinutes);
    const struct {
        const char* key;
        QString value;
        bool isDefault;
    } keys[] = {{"Server", settings.server, settings.server.isEmpty()},
                {"Security", settings.security, settings.security.isEmpty()},
                {"User", settings.user, settings.user.isEmpty()},
                {"Folder", settings.folder, settings.folder.isEmpty()},
                {"Check", check, settings.checkMinutes == kDefaultCheckMinutes}};
    for (const auto& k : keys)
        if (!k.isDefault || ini.HasKey(kSection, k.key)) values.push_back({k.key, k.value});
    if (!values.empty()) ini.WriteStrings(kSection, values);
}

Result<MailboxEndpoint> MailboxEndpointOf(const ReplySettings& settings) {
    if (settings.server.isEmpty())
        return Fail("No mailbox is set up for replies (Setup > Security..., Replies).");
    MailboxEndpoint endpoint;
    const QString security = settings.security.toUpper();
    if (security == "STARTTLS")
        endpoint.implicitTls = false;
    else if (!security.isEmpty() && security != "TLS")
        return Fail("Replies are read over TLS or STARTTLS only, not \"" + settings.security +
                    "\".");
    const auto address = ParseServerAddress(settings.server, endpoint.implicitTls ? 993 : 143);
    if (!std::holds_alternative<ServerAddress>(address))
        return Fail("The mailbox server \"" + settings.server + "\" is not a host or host:port.");
    // The host goes into a URL: nothing that would end or redirect it.
    static const QRegularExpression unsafe(R"([\s/?#@\\%]|[\x00-\x1f])");
    if (std::get<ServerAddress>(address).host.contains(unsafe))
        return Fail("The mailbox server \"" + settings.server + "\" is not a host or host:port.");
    endpoint.server = settings.server;
    endpoint.host = std::get<ServerAddress>(address).host;
    endpoint.port = std::get<ServerAddress>(address).port;
    endpoint.user = settings.EffectiveUser();
    endpoint.folder = settings.EffectiveFolder();
    if (endpoint.user.isEmpty())
        return Fail("No user is set for the mailbox " + settings.server + ".");
    return endpoint;
}
