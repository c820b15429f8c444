#pragma once
// The receiving side: reads a message text (header block, empty line, body with MIME parts) into a
// message component.
#include "mail/msmsg.h"

#include <QByteArrayView>
#include <QIODevice>
#include <vector>

// Clears `message` and fills it from the text in `stream`. A text that cannot be parsed gives a
// body telling the error, with the original text as attachment "original.eml".
void DecodeMessageText(TmsCustomMessage& message, QIODevice& stream);

// Decodes the encoded words ("=?charset?B?...?=", "=?charset?Q?...?=") of a header value.
QString DecodeEncodedWords(const QString& value);

// --- Walking a message's parts in place ---------------------------------------------------------
// For readers that look at parts without building a message component (the signed-parts finder):
// views into the text, no copy of a body and no object per line.

struct TmsPartView {
    TmsHeaders headers;    // the part's header lines (none for a part that has no header)
    QByteArrayView entity; // the whole part as it stands: header, empty line, body
    QByteArrayView body;   // after the empty line

    // The content type's "type/subtype" in lower case; "text/plain" when none is given.
    QString Type() const;
    // A parameter of a header field's value, such as the boundary of "Content-Type".
    QString Parameter(const QString& field, const QString& name) const;
};

// The message as its top part. A header larger than 1 MiB is not taken for one.
TmsPartView MessagePartView(QByteArrayView message);
// The parts of a multipart part, in order (without the line end before each boundary); none when
// it has no boundary.
std::vector<TmsPartView> SubpartViews(const TmsPartView& multipart);
// A part's body with its transfer encoding (quoted-printable, base64) undone; other bodies as
// they stand.
QByteArray DecodedBody(const TmsPartView& part);
