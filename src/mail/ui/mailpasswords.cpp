#include "mail/ui/mailpasswords.h"

#include "mail/keyring.h"

std::optional<QString> TMailPasswords::Known(const QString& user, const QString& server) const {
    const auto found = passwords_.constFind(PasswordKey(user, server));
    if (found == passwords_.constEnd()) return std::nullopt;
    return *found;
}

void TMailPasswords::Keep(const QString& user, const QString& server, const QString& password) {
    passwords_.insert(PasswordKey(user, server), password);
}

void TMailPasswords::Forget(const QString& user, const QString& server) {
    passwords_.remove(PasswordKey(user, server));
}
