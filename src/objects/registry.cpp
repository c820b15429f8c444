#include "objects/registry.h"

#include "store/inifile.h"

#include <QFile>
#include <QMutex>
#include <QRegularExpression>

namespace {
constexpr const char* kTyped = "typed";

Result<std::vector<Registry>> ParseRegistries(const QString& text) {
    std::vector<Registry> registries;
    const QStringList lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        QStringList words = line.split(QRegularExpression("\\s+"));
        const QString keyword = words.takeFirst();
        if (keyword == "registry" && words.size() == 1) {
            registries.push_back(Registry{});
            registries.back().id = words.front();
            continue;
        }
        if (registries.empty() || words.isEmpty())
            return Fail(QString("registry table line %1: cannot read it").arg(i + 1));
        Registry& r = registries.back();
        const QString value = words.join(' ');
        const QString given = value == kTyped ? QString() : value;
        if (keyword == "name")
            r.name = value;
        else if (keyword == "robot")
            r.robot = given;
        else if (keyword == "source")
            r.source = given.toUpper();
        else if (keyword == "whois")
            r.whois = given;
        else if (keyword == "query")
            r.query = value;
        else if (keyword == "rules")
            r.rules = value;
        else if (keyword == "auth")
            r.authSchemes = words;
        else if (keyword == "passwords")
            r.passwordSchemes = value == "none" ? QStringList() : words;
        else
            return Fail(QString("registry table line %1: unknown word %2").arg(i + 1).arg(keyword));
    }
    return registries;
}
} // namespace

QString Registry::Argument() const {
    if (id != "irrd") return id;
    return "irrd:" + robot + ":" + source;
}

Result<std::vector<Registry>> KnownRegistries() {
    static QMutex mutex;
    static std::optional<Result<std::vector<Registry>>> table;
    QMutexLocker lock(&mutex);
    if (!table) {
        Q_INIT_RESOURCE(rules);
        QFile file(":/rpsl/registries.table");
        table.emplace(file.open(QIODevice::ReadOnly)
                          ? ParseRegistries(QString::fromUtf8(file.readAll()))
                          : Result<std::vector<Registry>>(Fail("The registry table is missing.")));
    }
    return *table;
}

Result<Registry> RegistryNamed(const QString& argument) {
    const Result<std::vector<Registry>> known = KnownRegistries();
    if (!known) return Fail(known.Error());
    const QString text = argument.trimmed();
    if (text.startsWith("irrd:", Qt::CaseInsensitive)) {
        // irrd:ADDRESS:SOURCE, the source after the last colon.
        const QString rest = text.mid(5);
        const qsizetype colon = rest.lastIndexOf(':');
        const QString address = colon < 0 ? QString() : rest.left(colon).trimmed();
        const QString source = colon < 0 ? QString() : rest.mid(colon + 1).trimmed();
        static const QRegularExpression sourceName("^[A-Za-z][A-Za-z0-9_-]*$");
        if (!address.contains('@') || !sourceName.match(source).hasMatch())
            return Fail("Another IRRd is named irrd:ADDRESS:SOURCE (the robot's mailbox and the "
                        "source of its objects), not " +
                        text + ".");
        for (Registry r : known.Value())
            if (r.id == "irrd") {
                r.robot = address;
                r.source = source.toUpper();
                return r;
            }
    }
    for (const Registry& r : known.Value())
        if (r.id.compare(text, Qt::CaseInsensitive) == 0 && r.id != "irrd") return r;
    return Fail("Unknown registry " + text +
                ": give ripe, ripe-test, apnic, afrinic, radb or irrd:ADDRESS:SOURCE.");
}

ObjectSettings ReadObjectSettings(const QString& settingsFile) {
    const TIniFile ini(settingsFile);
    return {ini.ReadString("Objects", "Registry", QString()).trimmed(),
            ini.ReadString("Objects", "WhoisServer", QString()).trimmed()};
}

Done WriteObjectRegistry(const QString& settingsFile, const QString& registryArgument) {
    try {
        TIniFile(settingsFile).WriteString("Objects", "Registry", registryArgument);
        return {};
    } catch (const EIniFileError& e) {
        return Fail(e.Message());
    }
}
