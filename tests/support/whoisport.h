#pragma once
// Port 43, where the look-ups send WHOIS referrals and nowhere else: a socket bound to port 43 of
// a loopback address (127.43.x.y) that no other socket holds, so that tests running side by side
// each have their own. Binding port 43 needs root, as the tests have in CI.
#include <QString>

struct WhoisPortSocket {
    int fd = -1;  // bound, not listening; -1 when no address could be had
    QString host; // the dotted address
};
WhoisPortSocket BindWhoisPort();
