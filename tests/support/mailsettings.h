#pragma once
// What the mail tests give the companion and read back from it.
#include "support/process.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A settings file that mails through `server` as Jane (or the sender given) to the registry's
// test mailbox.
QByteArray MailSettingsText(const QString& server, const QString& address = "jane@example.test",
                            const QString& name = "Jane Sender");
