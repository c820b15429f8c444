// Whole written files, byte for byte, for the three template kinds.
#include "templatetestdata.h"

#include "platform/fileerror.h"
#include "support/tempdir.h"
#include "templates/agreement.h"
#include "templates/storesteps.h"
#include "templates/templatewriters.h"

#include <gtest/gtest.h>

namespace {
const char* const kDomainHead = "\n"
                                "Domain Version Number: 4.0\n"
                                "\n"
                                "\tNETWORK SOLUTIONS, INC.\n"
                                "\n"
                                "\tDOMAIN NAME REGISTRATION AGREEMENT\n"
                                "\n"
                                "\n";

// Filled records pick each list's last item: PGP, under which no authorization info is mailed.
const char* const kDomainFilledTail = R"(
Authorization
0a. (N)ew (M)odify (D)elete....: M
0b. Auth Scheme................: PGP
0c. Auth Info..................: 

1.  Comments...................: v-PurposeEdit

2.  Complete Domain Name.......: v-DomainNameEdit

Organization Using Domain Name
3a. Organization Name..........: v-OOrgNameEdit
3b. Street Address.............: v-OAddrEdit
3c. City.......................: v-OCityEdit
3d. State......................: v-OStateEdit
3e. Postal Code................: v-OZipEdit
3f. Country Code...............: v-OCountryEdit

Administrative Contact
4a. NIC Handle (if known)......: v-AHandleEdit
4b. (I)ndividual (R)ole........: v-ARoleEdit
4c. Name.......................: v-ANameEdit
4d. Organization Name..........: v-AOrgEdit
4e. Street Address.............: v-AAddrEdit
4f. City.......................: v-ACityEdit
4g. State......................: v-AStateEdit
4h. Postal Code................: v-AZipEdit
4i. Country Code...............: v-ACountryEdit
4j. Phone Number...............: v-APhoneEdit
4k. Fax Number.................: v-AFaxEdit
4l. E-Mailbox..................: v-AMailEdit

Technical Contact
5a. NIC Handle (if known)......: v-THandleEdit
5b. (I)ndividual (R)ole........: v-TRoleEdit
5c. Name.......................: v-TNameEdit
5d. Organization Name..........: v-TOrgEdit
5e. Street Address.............: v-TAddrEdit
5f. City.......................: v-TCityEdit
5g. State......................: v-TStateEdit
5h. Postal Code................: v-TZipEdit
5i. Country Code...............: v-TCountryEdit
5j. Phone Number...............: v-TPhoneEdit
5k. Fax Number.................: v-TFaxEdit
5l. E-Mailbox..................: v-TMailEdit

Billing Contact
6a. NIC Handle (if known)......: v-BHandleEdit
6b. (I)ndividual (R)ole........: v-BRoleEdit
6c. Name.......................: v-BNameEdit
6d. Organization Name..........: v-BOrgEdit
6e. Street Address.............: v-BAddrEdit
6f. City.......................: v-BCityEdit
6g. State......................: v-BStateEdit
6h. Postal Code................: v-BZipEdit
6i. Country Code...............: v-BCountryEdit
6j. Phone Number...............: v-BPhoneEdit
6k. Fax Number.................: v-BFaxEdit
6l. E-Mailbox..................: v-BMailEdit

Primary Name Server
7a. Primary Server Hostname....: v-PriNSEdit
7b. Primary Server Netaddress..: v-PriNSIPEdit

Secondary Name Server(s)
8a. Secondary Server Hostname..: v-SecNSEdit
8b. Secondary Server Netaddress: v-SecNSIPEdit
8a. Secondary Server Hostname..: v-ThirdNSEdit
8b. Secondary Server Netaddress: v-ThirdNSIPEdit
8a. Secondary Server Hostname..: v-fourthnsedit
8b. Secondary Server Netaddress: v-fourthnsipedit

END OF AGREEMENT
)";

const char* const kDomainEmptyTail = R"(
Authorization
0a. (N)ew (M)odify (D)elete....: N
0b. Auth Scheme................: 
0c. Auth Info..................: 

1.  Comments...................: 

2.  Complete Domain Name.......: example.com

Organization Using Domain Name
3a. Organization Name..........: 
3b. Street Address.............: 
3c. City.......................: 
3d. State......................: 
3e. Postal Code................: 
3f. Country Code...............: 

Administrative Contact
4a. NIC Handle (if known)......: 
4b. (I)ndividual (R)ole........: 
4c. Name.......................: 
4d. Organization Name..........: 
4e. Street Address.............: 
4f. City.......................: 
4g. State......................: 
4h. Postal Code................: 
4i. Country Code...............: 
4j. Phone Number...............: 
4k. Fax Number.................: 
4l. E-Mailbox..................: 

Technical Contact
5a. NIC Handle (if known)......: 
5b. (I)ndividual (R)ole........: 
5c. Name.......................: 
5d. Organization Name..........: 
5e. Street Address.............: 
5f. City.......................: 
5g. State......................: 
5h. Postal Code................: 
5i. Country Code...............: 
5j. Phone Number...............: 
5k. Fax Number.................: 
5l. E-Mailbox..................: 

Billing Contact
6a. NIC Handle (if known)......: 
6b. (I)ndividual (R)ole........: 
6c. Name.......................: 
6d. Organization Name..........: 
6e. Street Address.............: 
6f. City.......................: 
6g. State......................: 
6h. Postal Code................: 
6i. Country Code...............: 
6j. Phone Number...............: 
6k. Fax Number.................: 
6l. E-Mailbox..................: 

Primary Name Server
7a. Primary Server Hostname....: 
7b. Primary Server Netaddress..: 

Secondary Name Server(s)
8a. Secondary Server Hostname..: 
8b. Secondary Server Netaddress: 
8a. Secondary Server Hostname..: 
8b. Secondary Server Netaddress: 
8a. Secondary Server Hostname..: 
8b. Secondary Server Netaddress: 

END OF AGREEMENT
)";

const char* const kHostFilled = R"(
Host Version Number: 1.0

Authorization
0a. (N)ew (M)odify (D)elete.....: M
0b. Auth Scheme.................: PGP
0c. Auth Info...................: 

Host
1a. NIC Handle (if known)......: v-HostNicHandle
1b. Host Name..................: v-HostName
1c. IP Address.................: v-HostIPAddress

Contact
2a. NIC Handle (if known)......: v-HCNicHandle
2b. (I)ndividual (R)ole........: v-HCRole
2c. Name.......................: v-HCName
2d. Organization Name..........: v-HCOrg
2e. Street Address.............: v-HCAddr
2f. City.......................: v-HCCity
2g. State......................: v-HCState
2h. Postal Code................: v-HCZip
2i. Country Code...............: v-HCCountry
2j. Phone Number...............: v-HCPhone
2k. Fax Number.................: v-HCFax
2l. E-Mailbox..................: v-HCMail
)";

const char* const kHostEmpty = R"(
Host Version Number: 1.0

Authorization
0a. (N)ew (M)odify (D)elete.....: N
0b. Auth Scheme.................: 
0c. Auth Info...................: 

Host
1a. NIC Handle (if known)......: 
1b. Host Name..................: ns1.example.com
1c. IP Address.................: 

Contact
2a. NIC Handle (if known)......: 
2b. (I)ndividual (R)ole........: 
2c. Name.......................: 
2d. Organization Name..........: 
2e. Street Address.............: 
2f. City.......................: 
2g. State......................: 
2h. Postal Code................: 
2i. Country Code...............: 
2j. Phone Number...............: 
2k. Fax Number.................: 
2l. E-Mailbox..................: 
)";

const char* const kContactFilled = R"(
Contact Version Number: 1.0

Authorization
0a. (N)ew (M)odify (D)elete.: M
0b. Auth Scheme.............: PGP
0c. Auth Info...............: 

Contact Information
1a. NIC Handle..............: v-ContactNicHandle
1b. (I)ndividual (R)ole.....: v-ContactRole
1c. Name....................: v-Contactname
1d. Organization Name.......: v-ContactOrgName
1e. Street Address..........: v-ContactAddr
1f. City....................: v-ContactCity
1g. State...................: v-ContactState
1h. Postal Code.............: v-ContactZip
1i. Country Code............: v-ContactCountry
1j. Phone Number............: v-ContactPhone
1k. Fax Number..............: v-ContactFax
1l. E-Mailbox...............: v-ContactMail

Notify Information
2a. Notify Updates..........: NOT-CARE
2b. Notify Use..............: NOT-CARE

Authentication
3a. Auth Scheme.............: PGP
3b. Auth Info...............: v-ContactAuthenticationInfo
3c. Public (Y/N)............: Y
)";

const char* const kContactEmpty = R"(
Contact Version Number: 1.0

Authorization
0a. (N)ew (M)odify (D)elete.: N
0b. Auth Scheme.............: 
0c. Auth Info...............: 

Contact Information
1a. NIC Handle..............: 
1b. (I)ndividual (R)ole.....: 
1c. Name....................: Jane Roe
1d. Organization Name.......: 
1e. Street Address..........: 
1f. City....................: 
1g. State...................: 
1h. Postal Code.............: 
1i. Country Code............: 
1j. Phone Number............: 
1k. Fax Number..............: 
1l. E-Mailbox...............: 

Notify Information
2a. Notify Updates..........: 
2b. Notify Use..............: 

Authentication
3a. Auth Scheme.............: 
3b. Auth Info...............: 
3c. Public (Y/N)............: N
)";

QByteArray Processed() {
    return QByteArray(kFixedProcessedLine) + "\r\n";
}

QByteArray DomainBytes(const char* tail) {
    return Processed() + CrLf(kDomainHead) + AgreementBytes() + CrLf(tail);
}

Record Named(RecordKind kind, const QString& name) {
    Record r = EmptyRecord(kind);
    r.text[NameBoxControl(kind)] = name;
    return r;
}

int LineCount(const QByteArray& bytes) {
    return int(bytes.count("\r\n"));
}

class Writers : public testing::Test {
protected:
    ScopedWorkDir dir;
    FixedTemplateClock clock;
    TemplateFiles files;
};
} // namespace

TEST_F(Writers, DomainWithOnlyItsNameIs222LinesWithEveryLabel) {
    WriteDomainForm(Named(RecordKind::Domain, "example.com"), files);
    EXPECT_EQ(files.formFile, dir.file("domains/example.com.txt"));
    EXPECT_EQ(files.recordFile, dir.file("domains/example.com.ini"));
    const QByteArray bytes = ReadAll(files.formFile);
    EXPECT_EQ(bytes, DomainBytes(kDomainEmptyTail));
    EXPECT_EQ(LineCount(bytes), 222);
}

TEST_F(Writers, DomainWithEveryFieldFilled) {
    Record r = FilledRecord(RecordKind::Domain);
    WriteDomainForm(r, files);
    EXPECT_EQ(files.formFile, dir.file("domains/v-DomainNameEdit.txt"));
    EXPECT_EQ(ReadAll(files.formFile), DomainBytes(kDomainFilledTail));
}

TEST_F(Writers, CommentsOfSeveralLinesContinueUnlabelledAndMoveTheRestDown) {
    Record r = FilledRecord(RecordKind::Domain);
    r.text["PurposeEdit"] = "first line\r\nsecond line\r\nthird line";
    WriteDomainForm(r, files);
    QByteArray expected = DomainBytes(kDomainFilledTail);
    expected.replace("Comments...................: v-PurposeEdit\r\n",
                     "Comments...................: first line\r\nsecond line\r\nthird line\r\n");
    const QByteArray bytes = ReadAll(files.formFile);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(LineCount(bytes), 224);
    EXPECT_TRUE(bytes.endsWith("\r\n\r\nEND OF AGREEMENT\r\n"));

    // A memo ending in a line break adds an empty line; bare LF breaks are written as CR LF.
    r.text["PurposeEdit"] = "one\ntwo\n";
    WriteDomainForm(r, files);
    EXPECT_TRUE(ReadAll(files.formFile).contains("......: one\r\ntwo\r\n\r\n\r\n2.  Complete"));
    EXPECT_EQ(LineCount(ReadAll(files.formFile)), 224);
}

TEST_F(Writers, ASchemeShownButNotPickedGivesAnEmptyValue) {
    Record r = Named(RecordKind::Domain, "example.com");
    r.text["AuthScheme"] = "MAIL-FROM"; // the box's initial text, never picked
    WriteDomainForm(r, files);
    EXPECT_TRUE(ReadAll(files.formFile).contains("\r\n0b. Auth Scheme................: \r\n"));

    Record h = Named(RecordKind::Host, "ns1.example.com");
    h.text["HostAuthScheme"] = "CRYPT-PW";
    WriteHostForm(h, files);
    EXPECT_TRUE(ReadAll(files.formFile).contains("\r\n0b. Auth Scheme.................: \r\n"));
}

TEST_F(Writers, HostWithOnlyItsNameAndFilled) {
    WriteHostForm(Named(RecordKind::Host, "ns1.example.com"), files);
    EXPECT_EQ(files.formFile, dir.file("hosts/ns1.example.com.txt"));
    EXPECT_EQ(files.recordFile, dir.file("hosts/ns1.example.com.ini"));
    QByteArray bytes = ReadAll(files.formFile);
    EXPECT_EQ(bytes, "\r\n" + Processed() + CrLf(kHostEmpty));
    EXPECT_EQ(LineCount(bytes), 28);

    WriteHostForm(FilledRecord(RecordKind::Host), files);
    EXPECT_EQ(ReadAll(files.formFile), "\r\n" + Processed() + CrLf(kHostFilled));
}

TEST_F(Writers, ContactWithOnlyItsNameIsConfidentialAndFilled) {
    WriteContactForm(Named(RecordKind::Contact, "Jane Roe"), files);
    EXPECT_EQ(files.formFile, dir.file("contacts/Jane Roe.txt"));
    EXPECT_EQ(files.recordFile, dir.file("contacts/Jane Roe.ini"));
    QByteArray bytes = ReadAll(files.formFile);
    EXPECT_EQ(bytes, Processed() + CrLf(kContactEmpty));
    EXPECT_EQ(LineCount(bytes), 31);
    EXPECT_TRUE(bytes.endsWith("\r\n3c. Public (Y/N)............: N\r\n"));

    WriteContactForm(FilledRecord(RecordKind::Contact), files);
    EXPECT_EQ(ReadAll(files.formFile), Processed() + CrLf(kContactFilled));

    Record none = Named(RecordKind::Contact, "Jane Roe");
    none.publicFlag.clear();
    WriteContactForm(none, files);
    EXPECT_TRUE(ReadAll(files.formFile).endsWith("\r\n3c. Public (Y/N)............: \r\n"));
}

TEST_F(Writers, WritingAgainOverwritesAndFollowsTheCurrentDirectory) {
    Record r = FilledRecord(RecordKind::Host);
    WriteHostForm(r, files);
    r.text["HCMail"] = "x";
    WriteHostForm(r, files);
    EXPECT_TRUE(ReadAll(files.formFile).endsWith("E-Mailbox..................: x\r\n"));
    EXPECT_EQ(LineCount(ReadAll(files.formFile)), 28);

    QDir().mkdir("elsewhere");
    QDir::setCurrent(dir.file("elsewhere"));
    WriteHostForm(r, files);
    EXPECT_EQ(files.formFile, dir.file("elsewhere/hosts/v-HostName.txt"));
    EXPECT_TRUE(QFile::exists(files.formFile));
}

TEST_F(Writers, TheRecordFileStepFollowsTheTextFileAndOnlyWhenItWasWritten) {
    QStringList calls;
    StoreSteps().saveRecordFile = [&](const Record& r, const QString& path) {
        calls << r.Name() + " " + path + " " + QString::number(ReadAll(files.formFile).size());
    };
    WriteContactForm(Named(RecordKind::Contact, "Jane Roe"), files);
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0], "Jane Roe " + dir.file("contacts/Jane Roe.ini") + " " +
                            QString::number(ReadAll(files.formFile).size()));

    QDir().mkpath("contacts/Busy.txt"); // a folder where the text file should go
    EXPECT_THROW(WriteContactForm(Named(RecordKind::Contact, "Busy"), files), EInOutError);
    EXPECT_EQ(calls.size(), 1);
    StoreSteps().saveRecordFile = nullptr;
}

TEST(Agreement, HasTheSectionsAndLineStructureOfVersion4) {
    const QStringList& lines = AgreementLines();
    ASSERT_EQ(lines.size(), 140);
    // Positions as file lines of the domain template (the agreement starts on line 10).
    const QList<int> empty = {21, 23, 40,  47,  57,  61,  67,  78, 83,
                              95, 99, 106, 112, 120, 125, 132, 143};
    const std::pair<int, const char*> headings[] = {
        {10, "A.\tIntroduction."},
        {22, "B. Fees and Payments."},
        {41, "C.\tDispute Policy."},
        {48, "D.\tDispute Policy Changes or Modifications."},
        {58, "E.\tDisputes."},
        {62, "F.\tAgents."},
        {68, "G.\tLimitation of Liability."},
        {79, "H.\tIndemnity."},
        {84, "I.\tBreach."},
        {96, "J.\tNo Guaranty."},
        {100, "K.\tWarranty."},
        {107, "L.\tRevocation."},
        {113, "M.\tRight of Refusal."},
        {121, "N.\tSeverability."},
        {126, "O.\tEntirety."},
        {133, "P.\tGoverning Law."},
        {144, "Q.\t"},
    };
    auto at = [&](int fileLine) { return lines[fileLine - 10]; };
    for (int n = 10; n <= 149; ++n) {
        EXPECT_LE(at(n).size(), 73) << n;
        EXPECT_EQ(at(n).isEmpty(), empty.contains(n)) << n;
    }
    for (auto [line, heading] : headings)
        EXPECT_TRUE(at(line).startsWith(heading)) << line << " " << at(line).toStdString();
    EXPECT_EQ(at(22), "B. Fees and Payments."); // the B heading stands alone
    for (auto [line, item] : {std::pair{24, "1)"}, {28, "2)"}, {32, "3)"}, {36, "4)"}})
        EXPECT_TRUE(at(line).startsWith(item)) << line;
    // No other line starts a section or an item.
    int sections = 0, items = 0;
    for (const QString& l : lines) {
        if (l.size() > 2 && l[0].isUpper() && l[1] == '.' && (l[2] == '\t' || l[2] == ' '))
            ++sections;
        if (l.size() > 1 && l[0].isDigit() && l[1] == ')') ++items;
    }
    EXPECT_EQ(sections, 17);
    EXPECT_EQ(items, 4);
    const QString q = QStringList(lines.mid(144 - 10)).join(' ');
    EXPECT_TRUE(q.contains("version 4.0")) << q.toStdString();
    EXPECT_TRUE(q.contains("A to P")) << q.toStdString();
    // The resource is the agreement source, unchanged.
    EXPECT_EQ(lines.join("\r\n").toUtf8() + "\r\n", AgreementBytes());
}
