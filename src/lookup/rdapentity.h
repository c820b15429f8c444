#pragma once
// An RDAP entity (a contact, the registrar) as lines "<Role> Label: value", one set per role:
// its vCard (RFC 7095) with every mail, telephone (faxes as "Fax", mobiles as "Mobile", the
// other kinds named), contact form, URL and the address with its country; its handle, public IDs,
// events and remarks; then its nested entities.
#include <QJsonObject>
#include <QStringList>

// `depth` counts the nesting (1 for an entity of the object asked); `ownHandle` false when the
// entity is the object asked and its handle is shown already.
void RenderEntity(const QJsonObject& entity, QStringList& lines, int depth, bool ownHandle = true);
