#pragma once
// An RDAP answer (RFC 9083; vCards of RFC 7095; redactions of RFC 9537) as the lines the WhoIs tab
// shows, one field a line as "Label: value": the object's own fields, its WHOIS server and links,
// its entities (nested ones after their parent), what was redacted, then its notices and remarks
// with their links. A field that is missing, of the wrong type or redacted is left
// out; nothing in an answer can make the rendering fail or recurse without end. Every line is one
// line of text: a line break in a value continues on an indented line.
#include <QJsonObject>
#include <QString>
#include <QStringList>

// `askedKind` ("domain", "ip network", "autnum", "nameserver", "entity") stands for an answer
// that names no objectClassName.
QStringList RenderRdap(const QJsonObject& answer, const QString& askedKind = "domain");

// The registrar's own RDAP object that a registry's domain answer links to (a link with rel
// "related" and type "application/rdap+json"); empty when there is none.
QString RegistrarLink(const QJsonObject& answer);
