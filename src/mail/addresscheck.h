#pragma once
// Mail addresses are checked before any connection is made: an address is one "local@domain"
// without blanks, control characters or the characters that would end it or add to it on the
// wire ("<", ">", "(", ")", ",", ";"). Otherwise a crafted address could put ESMTP parameters on
// MAIL FROM or RCPT TO, or break the From line. A domain with non-ASCII letters goes out as its
// A-label; a local part must be ASCII.
#include <QString>

// The address as it goes out. Raises EMessageError "The address ADDR cannot be used: " + the
// reason when it cannot be used. An empty address is returned as it is: the message's own
// checks name what is missing.
QString CheckedMailAddress(const QString& address);
