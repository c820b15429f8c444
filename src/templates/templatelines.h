#pragma once
// The lines of the three registry templates, and the names and addresses as the registry's robot
// reads them.
#include "templates/recordmodel.h"

#include <QString>
#include <QStringList>

// A domain or host name as the registry's robot reads it: an international name as its A-label
// ("bücher.example" as "xn--bcher-kva.example"); ASCII, or a name that is no valid international
// name, as typed.
QString NameForRobot(const QString& typed);
// A mail address as the robot reads it: a domain outside ASCII as its A-label; anything else
// (a local part outside ASCII, a domain that is no valid name, text that is no address) as typed.
QString AddressForRobot(const QString& typed);

// The template's lines for a record, stamped with `processed` (see ProcessedLine).
QStringList DomainFormLines(const Record& record, const QString& processed);
QStringList HostFormLines(const Record& record, const QString& processed);
QStringList ContactFormLines(const Record& record, const QString& processed);
