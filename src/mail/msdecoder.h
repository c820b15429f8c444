#pragma once
// The receiving side: reads a message text (header block, empty line, body with MIME parts) into a
// message component.
#include "mail/msmsg.h"

#include <QIODevice>

// Clears `message` and fills it from the text in `stream`. A text that cannot be parsed gives a
// body telling the error, with the original text as attachment "original.eml".
void DecodeMessageText(TmsCustomMessage& message, QIODevice& stream);

// Decodes the encoded words ("=?charset?B?...?=", "=?charset?Q?...?=") of a header value.
QString DecodeEncodedWords(const QString& value);
