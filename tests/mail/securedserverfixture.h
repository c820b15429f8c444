#pragma once
// A fixture with a real submission server on loopback that offers STARTTLS with a test
// certificate for localhost and asks for a user; the test authority is trusted while it runs.
#include "mail/submission_server.h"
#include "support/testcerts.h"

#include <gtest/gtest.h>
#include <memory>

class SecuredServerFixture : public testing::Test {
protected:
    // Starts the server asking for `auth` ("user:password"); sets `server` and `address`.
    void StartServer(const QString& auth) {
        ASSERT_TRUE(certs.Made()) << certs.Problem().toStdString();
        server = std::make_unique<LocalSmtpServer>(LocalSmtpServer::Options::Secured(
            certs.Cert("server"), certs.Key("server"), false, auth));
        ASSERT_NE(server->Port(), 0);
        address = server->LocalhostAddress();
    }

    TestCertificates certs;
    TrustTestAuthority trust{certs.Authority()};
    std::unique_ptr<LocalSmtpServer> server;
    QString address; // "localhost:PORT", the name the certificate is made for
};
