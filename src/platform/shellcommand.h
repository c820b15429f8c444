#pragma once
// The password and passphrase commands: a user's command, run through /bin/sh -c, whose first
// line of output is the secret. The command gets a process group of its own; its line is taken as
// soon as it arrives (a command that goes on running holds nothing up), and whatever of the group
// is still running then is left to a worker off the caller's thread, which reaps it and kills the
// group at the deadline or when the program ends. The deadline covers everything: a command that
// neither answers nor ends is killed with its whole group. Standard input is /dev/null; the last
// line of standard error explains a failure. The command's own text is never repeated (it may hold
// a secret).
#include "platform/result.h"

#include <QByteArray>
#include <QString>

inline constexpr int kSecretCommandTimeoutMs = 60000;

// The command's first line, without its line end. `name` is what the errors call it ("password
// command"): "The password command failed (exit status 3): LAST LINE OF ITS STDERR", "The password
// command did not answer within 60 seconds.", "The password command could not be started: ...".
// A command that ends successfully without a line end gives what it printed.
Result<QByteArray> SecretFromCommand(const QString& command, const QString& name,
                                     int timeoutMs = kSecretCommandTimeoutMs);
