#pragma once
// A reverse zone's name-server lab on loopback, and a signing key, for the tests that check and
// mail a domain object: two servers of the zone on 127.0.NET.1 and 127.0.NET+1.1 (the first also
// the resolver), and a third on 127.0.NET+2.1 that serves another zone only, so that it is lame
// for this one. The servers bind port 53: without root the lab holds none.
#include "platform/result.h"
#include "support/gnupghome.h"
#include "support/testnsd.h"

#include <QString>
#include <memory>
#include <vector>

class ReverseLab {
public:
    // The zone every lab serves.
    static constexpr const char* Zone = "2.0.192.in-addr.arpa";

    explicit ReverseLab(int net);
    ~ReverseLab();
    ReverseLab(const ReverseLab&) = delete;
    ReverseLab& operator=(const ReverseLab&) = delete;

    TestGnupgHome& Home() { return home_; }
    // The key "Jane Registrant <jane@example.test>".
    const QString& Fingerprint() const { return fingerprint_; }
    // The address of the server NUMBER (1 to 3).
    QString Server(int number) const;
    bool HasServers() const { return !servers_.empty(); }
    // Done when the key is made and every server started; why not, else.
    Done Ready() const;

private:
    TestGnupgHome home_;
    QString fingerprint_;
    int net_;
    std::vector<std::unique_ptr<TestNsd>> servers_;
};
