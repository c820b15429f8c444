#pragma once
// Reading the members of an RDAP answer (RFC 9083) as the lines the WhoIs tab shows: texts that
// may come in the wrong type, events by action, remarks and public IDs. A member that is missing,
// of the wrong type or redacted gives no line.
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

// A text worth showing: a non-empty string that is not a redaction notice.
bool ShownText(const QString& value);
QString StringMember(const QJsonObject& o, const char* key);
// A value as text: a string, or a number given where a string belongs (an IANA ID, say).
QString TextOf(const QJsonValue& value);
// Every string of a member that should be a list of strings (a lone string counts as one).
QStringList StringsOf(const QJsonValue& value);
// "Label: value" for a string value worth showing.
void AddField(QStringList& lines, const QString& label, const QJsonValue& value);
// The same for a value that may come as a number.
void AddNumberOrText(QStringList& lines, const QString& label, const QJsonValue& value);

// Every event of the object, each on a line of its own, `prefix` before the label: the known
// actions with their labels in a fixed order ("Registered", "Expires", "Registrar Expires",
// "Transferred", "Last changed"), then every other one under its own name, as given.
void AddEvents(const QJsonObject& o, const QString& prefix, QStringList& lines);
// The object's public IDs: "<prefix>Public ID: identifier (type)".
void AddPublicIds(const QJsonObject& o, const QString& prefix, QStringList& lines,
                  const QString& skippedType = QString());
// The lines of a notice's or remark's description, without the line ends some servers leave in.
QStringList DescriptionLines(const QJsonObject& notice);
// Each link's href of a notice or remark, indented two blanks.
QStringList NoticeLinks(const QJsonObject& notice);
