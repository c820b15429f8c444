#include "objects/objectmessage.h"

#include "objects/objectcheck.h"

QString ActionWord(ObjectAction action) {
    switch (action) {
    case ObjectAction::Create:
        return "Create";
    case ObjectAction::Modify:
        return "Modify";
    case ObjectAction::Delete:
        break;
    }
    return "Delete";
}

QStringList MailedObjectLines(const MessageObject& object, const RuleTable& rules) {
    const ClassRules* rulesOfClass = rules.Class(object.object.ClassName());
    QStringList lines;
    for (const RpslAttribute& a : object.object.attributes) {
        const AttributeRule* rule =
            rulesOfClass && !a.malformed ? rulesOfClass->Find(a.name) : nullptr;
        if (rule && !rule->Mailed()) continue;
        AppendAttributeLines(a, lines);
    }
    if (object.action == ObjectAction::Delete && !object.object.Has("delete"))
        AppendAttributeLines(RpslAttribute{"delete", object.deleteReason.simplified(), 0, false},
                             lines);
    return lines;
}

QStringList MessageObjectLines(const std::vector<MessageObject>& objects, const RuleTable& rules) {
    QStringList lines;
    for (const MessageObject& object : objects) {
        if (!lines.isEmpty()) lines << QString();
        lines << MailedObjectLines(object, rules);
    }
    return lines;
}

QStringList ObjectMessageBody(const std::optional<QString>& password,
                              const QStringList& objectPart) {
    QStringList body;
    if (password) body << "password: " + *password << QString();
    return body + objectPart;
}

QString ObjectMessageSubject(const std::vector<MessageObject>& objects, const RuleTable& rules) {
    if (objects.empty()) return QString();
    const MessageObject& first = objects.front();
    QString subject = ActionWord(first.action) + ' ' + ObjectTitle(first.object, rules);
    if (objects.size() == 2) subject += " and 1 more object";
    if (objects.size() > 2) subject += QString(" and %1 more objects").arg(objects.size() - 1);
    return subject;
}

QString SentCopyName(const std::vector<MessageObject>& objects, const RuleTable& rules) {
    if (objects.empty()) return QString();
    const RpslObject& first = objects.front().object;
    QString name = first.ClassName() + '-' + KeyFileName(ObjectKey(first, rules));
    if (objects.size() > 1) name += '+' + QString::number(objects.size() - 1);
    return name;
}

QString KeyFileName(const QString& key) {
    QString name = key;
    return name.replace('/', '_');
}
