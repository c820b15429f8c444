#pragma once
// The registries whose robots take database objects by mail (data/rpsl/registries.table): the
// robot's mailbox, the source of their objects, their WHOIS server for Fetch, the rule table
// their software follows, and the authentication schemes they take.
#include "platform/result.h"

#include <QString>
#include <QStringList>
#include <vector>

struct Registry {
    QString id;                  // "ripe", "ripe-test", "apnic", "afrinic", "radb" or "irrd"
    QString name;                // "RIPE TEST", as the Registry box shows it
    QString robot;               // the robot's mailbox
    QString source;              // the source: of its objects, upper case
    QString whois;               // its WHOIS server, HOST[:PORT]; empty when the user gives it
    QString query;               // the query line of Fetch, with {class} and {key}
    QString rules;               // "ripe" or "irrd"
    QStringList authSchemes;     // the auth: schemes its maintainers may name
    QStringList passwordSchemes; // the schemes whose password a message may carry

    bool TakesPasswords() const { return !passwordSchemes.isEmpty(); }
    // How `--registry` and the settings name it: the id, or "irrd:ADDRESS:SOURCE".
    QString Argument() const;
};

// Every registry of the table, in its order ("Other IRRd" with its robot and source empty).
Result<std::vector<Registry>> KnownRegistries();
// The registry `argument` names: an id of the table, or "irrd:ADDRESS:SOURCE" for another IRRd.
Result<Registry> RegistryNamed(const QString& argument);

// The "Objects" section of the settings file.
struct ObjectSettings {
    QString registry;    // "Registry": a registry argument; empty when none was chosen
    QString whoisServer; // "WhoisServer": HOST[:PORT] asked instead of every registry's own
};
ObjectSettings ReadObjectSettings(const QString& settingsFile);
// Writes "Registry"; fails with the file error.
Done WriteObjectRegistry(const QString& settingsFile, const QString& registryArgument);
