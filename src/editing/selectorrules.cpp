#include "editing/selectorrules.h"

namespace {
const char* const kCryptPw = "CRYPT-PW";
const char* const kMailFrom = "MAIL-FROM";
const char* const kPgp = "PGP";

std::vector<FieldOpening> HostChanges(ActionChoice choice) {
    const bool open = choice == ActionChoice::Modify || choice == ActionChoice::DeleteConfirmed;
    return {{"HostNicHandle", open}};
}

std::vector<FieldOpening> ContactChanges(ActionChoice choice, const QString& authorizationType) {
    switch (choice) {
    case ActionChoice::New:
    case ActionChoice::DeleteDeclined:
        // The role field stays open, so New mode looks the same however it was reached.
        return {{"ContactAuthorizationInfo", false},
                {"ContactAuthorizationType", false},
                {"ContactNicHandle", false}};
    case ActionChoice::Modify:
    case ActionChoice::DeleteConfirmed:
        break;
    }
    std::vector<FieldOpening> changes = {{"ContactAuthorizationInfo", true},
                                         {"ContactAuthorizationType", true},
                                         {"ContactNicHandle", true},
                                         {"ContactRole", true}};
    // A mail-checked contact has no password to give; a delete opens the field regardless.
    if (choice == ActionChoice::Modify && authorizationType == kMailFrom)
        changes.push_back({"ContactAuthorizationInfo", false});
    return changes;
}
} // namespace

std::vector<FieldOpening> ActionFieldChanges(RecordKind kind, ActionChoice choice,
                                             const QString& authorizationType) {
    switch (kind) {
    case RecordKind::Domain:
        return {};
    case RecordKind::Host:
        return HostChanges(choice);
    case RecordKind::Contact:
        break;
    }
    return ContactChanges(choice, authorizationType);
}

QString DeleteQuestion(RecordKind kind) {
    const char* what = "contact";
    if (kind == RecordKind::Domain) what = "domain";
    if (kind == RecordKind::Host) what = "host";
    return QString("You just chose to DELETE a %1.  Is this what you really want to do?").arg(what);
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
