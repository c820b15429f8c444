#pragma once
// The authorization and authentication scheme boxes: an exact scheme name relabels the field
// beside the box and, for authorization, opens or closes it. They react to the user's typing and
// list picks only, never to text set by code.
#include <QObject>
#include <QString>

class TForm1;

class TSchemeSelectors : public QObject {
    Q_OBJECT
public:
    explicit TSchemeSelectors(TForm1& form);

    void AuthSchemeChange() { AuthorizationChange("AuthScheme", "AuthInfoEdit"); }
    void HostAuthSchemeChange() { AuthorizationChange("HostAuthScheme", "HostAuthInfo"); }
    void ContactAuthorizationTypeChange() {
        AuthorizationChange("ContactAuthorizationType", "ContactAuthorizationInfo");
    }
    void ContactAuthenticationTypeChange();

private:
    void AuthorizationChange(const QString& box, const QString& infoField);

    TForm1& form_;
};
