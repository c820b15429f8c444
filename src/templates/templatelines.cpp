// The lines of the three registry templates: the domain name registration agreement, version
// 4.0 (labels of 31 characters), the host template 1.0 and the contact template 1.0.
#include "templates/templatelines.h"

#include "platform/idna.h"
#include "templates/agreement.h"

QString NameForRobot(const QString& typed) {
    if (IsAscii(typed)) return typed;
    return ToALabel(typed.trimmed()).value_or(typed);
}

QString AddressForRobot(const QString& typed) {
    if (IsAscii(typed)) return typed;
    const QString address = typed.trimmed();
    const qsizetype at = address.lastIndexOf('@');
    if (at <= 0 || address.contains(' ')) return typed;
    const QString domain = address.mid(at + 1);
    if (IsAscii(domain)) return typed;
    const std::optional<QString> label = ToALabel(domain);
    return label ? address.left(at + 1) + *label : typed;
}

namespace {
// A memo's text keeps its line breaks, so each further line of it becomes a line of the file.
QStringList MemoLines(QString text) {
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return text.split('\n');
}

// The authorization info as mailed: under MAIL-FROM and PGP the field means nothing ("n/a") and a
// password left in it from CRYPT-PW (a crypt hash) would travel in clear, so it is left out.
QString AuthInfo(const Record& r, const QString& scheme, const QString& info) {
    const QString chosen = r.Selected(scheme);
    return chosen == "MAIL-FROM" || chosen == "PGP" ? QString() : r.Text(info);
}

void AddContactBlock(QStringList& out, const Record& r, QChar digit, const QString& block) {
    static const char* const labels[][2] = {
        {"a. NIC Handle (if known)......: ", "HandleEdit"},
        {"b. (I)ndividual (R)ole........: ", "RoleEdit"},
        {"c. Name.......................: ", "NameEdit"},
        {"d. Organization Name..........: ", "OrgEdit"},
        {"e. Street Address.............: ", "AddrEdit"},
        {"f. City.......................: ", "CityEdit"},
        {"g. State......................: ", "StateEdit"},
        {"h. Postal Code................: ", "ZipEdit"},
        {"i. Country Code...............: ", "CountryEdit"},
        {"j. Phone Number...............: ", "PhoneEdit"},
        {"k. Fax Number.................: ", "FaxEdit"},
        {"l. E-Mailbox..................: ", "MailEdit"},
    };
    for (const auto& label : labels)
        out << digit + QString(label[0]) +
                   (QString(label[1]) == "MailEdit" ? AddressForRobot(r.Text(block + label[1]))
                                                    : r.Text(block + label[1]));
}
} // namespace

QStringList DomainFormLines(const Record& r, const QString& processed) {
    QStringList out;
    out << processed << ""
        << "Domain Version Number: 4.0"
        << ""
        << "\tNETWORK SOLUTIONS, INC."
        << ""
        << "\tDOMAIN NAME REGISTRATION AGREEMENT"
        << ""
        << "";
    out << AgreementLines();
    out << ""
        << "Authorization";
    out << "0a. (N)ew (M)odify (D)elete....: " + r.action;
    out << "0b. Auth Scheme................: " + r.Selected("AuthScheme");
    out << "0c. Auth Info..................: " + AuthInfo(r, "AuthScheme", "AuthInfoEdit");
    out << "";
    QStringList comments = MemoLines(r.Text("PurposeEdit"));
    out << "1.  Comments...................: " + comments.takeFirst();
    out << comments;
    out << "";
    out << "2.  Complete Domain Name.......: " + NameForRobot(r.Text("DomainNameEdit"));
    out << ""
        << "Organization Using Domain Name";
    out << "3a. Organization Name..........: " + r.Text("OOrgNameEdit");
    out << "3b. Street Address.............: " + r.Text("OAddrEdit");
    out << "3c. City.......................: " + r.Text("OCityEdit");
    out << "3d. State......................: " + r.Text("OStateEdit");
    out << "3e. Postal Code................: " + r.Text("OZipEdit");
    out << "3f. Country Code...............: " + r.Text("OCountryEdit");
    out << ""
        << "Administrative Contact";
    AddContactBlock(out, r, '4', "A");
    out << ""
        << "Technical Contact";
    AddContactBlock(out, r, '5', "T");
    out << ""
        << "Billing Contact";
    AddContactBlock(out, r, '6', "B");
    out << ""
        << "Primary Name Server";
    out << "7a. Primary Server Hostname....: " + NameForRobot(r.Text("PriNSEdit"));
    out << "7b. Primary Server Netaddress..: " + r.Text("PriNSIPEdit");
    out << ""
        << "Secondary Name Server(s)";
    const char* const servers[][2] = {{"SecNSEdit", "SecNSIPEdit"},
                                      {"ThirdNSEdit", "ThirdNSIPEdit"},
                                      {"fourthnsedit", "fourthnsipedit"}};
    for (const auto& server : servers) {
        out << "8a. Secondary Server Hostname..: " + NameForRobot(r.Text(server[0]));
        out << "8b. Secondary Server Netaddress: " + r.Text(server[1]);
    }
    out << ""
        << "END OF AGREEMENT";
    return out;
}

QStringList HostFormLines(const Record& r, const QString& processed) {
    QStringList out;
    out << "" << processed << ""
        << "Host Version Number: 1.0"
        << ""
        << "Authorization";
    out << "0a. (N)ew (M)odify (D)elete.....: " + r.action;
    out << "0b. Auth Scheme.................: " + r.Selected("HostAuthScheme");
    out << "0c. Auth Info...................: " + AuthInfo(r, "HostAuthScheme", "HostAuthInfo");
    out << ""
        << "Host";
    out << "1a. NIC Handle (if known)......: " + r.Text("HostNicHandle");
    out << "1b. Host Name..................: " + NameForRobot(r.Text("HostName"));
    out << "1c. IP Address.................: " + r.Text("HostIPAddress");
    out << ""
        << "Contact";
    // The host contact's controls follow the domain block's order under their own names.
    Record block;
    const char* const names[][2] = {
        {"HandleEdit", "HCNicHandle"}, {"RoleEdit", "HCRole"}, {"NameEdit", "HCName"},
        {"OrgEdit", "HCOrg"},          {"AddrEdit", "HCAddr"}, {"CityEdit", "HCCity"},
        {"StateEdit", "HCState"},      {"ZipEdit", "HCZip"},   {"CountryEdit", "HCCountry"},
        {"PhoneEdit", "HCPhone"},      {"FaxEdit", "HCFax"},   {"MailEdit", "HCMail"}};
    for (const auto& name : names)
        block.text[QString("X") + name[0]] = r.Text(name[1]);
    AddContactBlock(out, block, '2', "X");
    return out;
}

QStringList ContactFormLines(const Record& r, const QString& processed) {
    QStringList out;
    out << processed << ""
        << "Contact Version Number: 1.0"
        << ""
        << "Authorization";
    out << "0a. (N)ew (M)odify (D)elete.: " + r.action;
    out << "0b. Auth Scheme.............: " + r.Selected("ContactAuthorizationType");
    out << "0c. Auth Info...............: " +
               AuthInfo(r, "ContactAuthorizationType", "ContactAuthorizationInfo");
    out << ""
        << "Contact Information";
    out << "1a. NIC Handle..............: " + r.Text("ContactNicHandle");
    out << "1b. (I)ndividual (R)ole.....: " + r.Text("ContactRole");
    out << "1c. Name....................: " + r.Text("Contactname");
    out << "1d. Organization Name.......: " + r.Text("ContactOrgName");
    out << "1e. Street Address..........: " + r.Text("ContactAddr");
    out << "1f. City....................: " + r.Text("ContactCity");
    out << "1g. State...................: " + r.Text("ContactState");
    out << "1h. Postal Code.............: " + r.Text("ContactZip");
    out << "1i. Country Code............: " + r.Text("ContactCountry");
    out << "1j. Phone Number............: " + r.Text("ContactPhone");
    out << "1k. Fax Number..............: " + r.Text("ContactFax");
    out << "1l. E-Mailbox...............: " + AddressForRobot(r.Text("ContactMail"));
    out << ""
        << "Notify Information";
    out << "2a. Notify Updates..........: " + r.Selected("ContactNotifyUpdates");
    out << "2b. Notify Use..............: " + r.Selected("ContactNotifyUse");
    out << ""
        << "Authentication";
    out << "3a. Auth Scheme.............: " + r.Selected("ContactAuthenticationType");
    out << "3b. Auth Info...............: " + AddressForRobot(r.Text("ContactAuthenticationInfo"));
    out << "3c. Public (Y/N)............: " + r.publicFlag;
    return out;
}
