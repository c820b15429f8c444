#pragma once
// Names in database objects: RPSL object names (maintainers, set components), NIC handles, set
// names (hierarchical "AS65537:AS-NAME" or flat), person and AS names, mail addresses, phone
// numbers, sources and the dates of changed: lines.
#include "objects/valuesyntax.h"
#include "platform/result.h"

// Whether `text` starts like "AS1", "as01" or "AS2.3": an AS number, valid or not.
bool LooksLikeAsNumber(const QString& text);
// The set prefix ("AS-", "RS-", ...) of the first component of `name` that has one; "AS-" when
// none has.
QString SetKindOf(const QString& name);
// Whether `text` is an AUTO-n handle (any letter case), which the robot replaces by a new one.
bool IsAutoHandle(const QString& text);
// Why `name` is no RPSL object name (a letter first, then letters, digits, "_" and "-", a letter
// or digit last; never a reserved word or a set name's prefix); done when it is one.
Done VerifyObjectName(const QString& name, const RuleTable& rules);
// Why `name` is no set name of the kind `prefix` ("AS-", "RS-", "RTRS-", "FLTR-", "PRNG-"):
// components separated by ":", each an AS number or a name starting with `prefix`, at least one
// of them such a name; done when it is one.
Done VerifySetName(const QString& name, const QString& prefix, const RuleTable& rules);
// Why `address` is not one mail address with an ASCII local part; done when it is one.
Done VerifyMailAddress(const QString& address);

void CheckFreeText(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckPersonName(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckAsName(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckNicHandle(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckOrgRef(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckMntnerName(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckMntnerRef(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckMbrsByRef(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckEmail(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckPhone(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckSource(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckChanged(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckKeyCertName(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckAsSetName(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckRouteSetName(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckAsSetRef(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckRouteSetRef(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckAsSetMembers(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckRouteSetMembers(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckRouteSetMpMembers(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckMntRoutesV4(const QString& value, const ValueContext& c, ValueFindings& out);
void CheckMntRoutesV6(const QString& value, const ValueContext& c, ValueFindings& out);
