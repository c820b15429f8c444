#pragma once
// A kept message as a mail reader shows it: the header fields unfolded and their encoded-words
// decoded, then an empty line, then the body decoded by its transfer encoding and character set.
// The kept file itself stays as it went, byte for byte.
#include <QByteArray>
#include <QStringList>

QStringList KeptMessageLines(const QByteArray& message);
