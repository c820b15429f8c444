#pragma once
// A kept message as a mail reader shows it: the header fields unfolded, their encoded-words
// decoded and their values in one column after the longest name, then an empty line, then the
// body decoded by its transfer encoding and character set (a signature's lines stay in it). The
// kept file itself stays as it went, byte for byte.
#include <QByteArray>
#include <QStringList>

QStringList KeptMessageLines(const QByteArray& message);
