#pragma once
// The Database Objects page's Mail button: the message's objects checked (errors list themselves
// and nothing is sent; warnings ask once), a domain's name servers checked, the message signed
// with Setup's OpenPGP key or carrying the maintainer's password (asked for, never kept), the
// records written, and the message sent through the window's mail server settings to the
// registry's robot, its copy kept in sent/ and the name lists brought up to date.
#include "objects/objectmail.h"

#include <QObject>
#include <optional>

class TForm1;
class TMailSubmission;
class TObjectsPage;
class TmsSMTP;

class TObjectSender : public QObject {
public:
    // The mail part finds the mail server's password as for the registration pages.
    TObjectSender(TForm1& form, TObjectsPage& page, TMailSubmission& mail);
    void MailClick();
    bool Busy() const { return busy_; }

private:
    // The check's findings on every object; false (the errors listed) when one is an error.
    bool CheckObjects(const std::vector<MessageObject>& objects, int& warnings);
    bool CheckNameServers(const std::vector<MessageObject>& objects, int& warnings);
    // Signing key or password; false when the message cannot prove itself.
    bool Authenticate(ObjectMail& mail);
    // The client with the window's server, security and sign-in; false when no password given.
    bool SetUpClient(TmsSMTP& smtp);
    void Send(const ObjectMail& mail);

    TForm1& form_;
    TObjectsPage& page_;
    TMailSubmission& mail_;
    bool busy_ = false;
};

// The maintainer's password, asked for in a box whose entry hides it; nothing when cancelled.
std::optional<QString> AskMaintainerPassword(QWidget* parent, const QString& registryName);
