#include "templates/recordmodel.h"

const QStringList& AuthorizationSchemes() {
    static const QStringList items{"MAIL-FROM", "CRYPT-PW", "PGP"};
    return items;
}

const QStringList& UpdateNotifications() {
    static const QStringList items{"AFTER-UPDATE", "BEFORE-UPDATE", "NOT-CARE"};
    return items;
}

const QStringList& UseNotifications() {
    static const QStringList items{"AFTER-USE", "BEFORE-USE", "NOT-CARE"};
    return items;
}

QStringList SelectorItems(const QString& control) {
    if (control == "ContactNotifyUpdates") return UpdateNotifications();
    if (control == "ContactNotifyUse") return UseNotifications();
    const FieldInfo* f = FindField(control);
    return f && f->type == FieldType::Selector ? AuthorizationSchemes() : QStringList();
}

QString ActionCode(bool isNew, bool isModify, bool isDelete) {
    QString code;
    if (isNew) code = "N";
    if (isModify) code = "M";
    if (isDelete) code = "D";
    return code;
}

QString PublicFlag(bool yes, bool no) {
    QString flag;
    if (yes) flag = "Y";
    if (no) flag = "N";
    return flag;
}

bool HoldsControlCharacter(const QString& name) {
    for (QChar c : name)
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F)) return true;
    return false;
}

bool IsSafeRecordName(const QString& name) {
    if (name == "." || name == ".." || name.contains('/')) return false;
    return !HoldsControlCharacter(name);
}
