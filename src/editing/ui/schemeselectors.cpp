#include "editing/ui/schemeselectors.h"

#include "app/ui/form1.h"
#include "editing/selectorrules.h"
#include "editing/ui/formfields.h"

TSchemeSelectors::TSchemeSelectors(TForm1& form) : QObject(&form), form_(form) {
    setObjectName("SchemeSelectors");
}

void TSchemeSelectors::AuthorizationChange(const QString& box, const QString& infoField) {
    const auto effect = AuthorizationSchemeEffect(TextOfField(form_, box));
    if (!effect) return;
    RelabelField(form_, infoField, effect->caption);
    SetFieldOpenByName(form_, infoField, effect->open);
}

void TSchemeSelectors::ContactAuthenticationTypeChange() {
    if (const auto caption = AuthenticationCaption(TextOfField(form_, "ContactAuthenticationType")))
        RelabelField(form_, "ContactAuthenticationInfo", *caption);
}
