#include "editing/selectorrules.h"

#include "templates/recordkinds.h"

namespace {
const char* const kCryptPw = "CRYPT-PW";
const char* const kMailFrom = "MAIL-FROM";
const char* const kPgp = "PGP";
} // namespace

std::vector<FieldOpening> ActionFieldChanges(RecordKind kind, ActionChoice choice,
                                             const QString& authorizationType) {
    const ActionOpenings& rules = KindOf(kind).actionOpenings;
    std::vector<FieldOpening> changes;
    if (choice == ActionChoice::New || choice == ActionChoice::DeleteDeclined) {
        for (const QString& field : rules.closedByNew)
            changes.push_back({field, false});
        return changes;
    }
    for (const QString& field : rules.openedByModify)
        changes.push_back({field, true});
    // A delete opens the field regardless.
    if (!rules.closedByMailFrom.isEmpty() && choice == ActionChoice::Modify &&
        authorizationType == kMailFrom)
        changes.push_back({rules.closedByMailFrom, false});
    return changes;
}

QString DeleteQuestion(RecordKind kind) {
    return QString("You just chose to DELETE a %1.  Is this what you really want to do?")
        .arg(KindOf(kind).word);
}

std::optional<SchemeEffect> AuthorizationSchemeEffect(const QString& text) {
    if (text == kCryptPw) return SchemeEffect{"Password", true};
    if (text == kMailFrom || text == kPgp) return SchemeEffect{"n/a", false};
    return std::nullopt;
}

std::optional<QString> AuthenticationCaption(const QString& text) {
    if (text == kCryptPw) return QString("Encrypted Password");
    if (text == kMailFrom) return QString("E-Mail Address");
    if (text == kPgp) return QString("Public PGP Key ID");
    return std::nullopt;
}
