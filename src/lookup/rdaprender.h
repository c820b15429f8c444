#pragma once
// An RDAP answer (RFC 9083; vCards of RFC 7095) as the lines the WhoIs tab shows, one field a
// line as "Label: value": the object's own fields, its entities (nested ones after their parent),
// then its notices and remarks. A field that is missing, of the wrong type or redacted is left
// out; nothing in an answer can make the rendering fail or recurse without end. Every line is one
// line of text: a line break in a value continues on an indented line.
#include <QJsonObject>
#include <QString>
#include <QStringList>

QStringList RenderRdap(const QJsonObject& answer);

// The registrar's own RDAP object that a registry's domain answer links to (a link with rel
// "related" and type "application/rdap+json"); empty when there is none.
QString RegistrarLink(const QJsonObject& answer);
