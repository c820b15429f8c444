#pragma once
// The parts of UTS #46 processing that the IDNA library leaves out or gets wrong, checked on our
// side of it: the host-name (STD3) and hyphen rules on every label, the lengths DNS allows, the
// Bidi rule of RFC 5893 over the whole name, and a comparison that tells whether a conversion
// kept every character of the name (only UTS #46's own mapping may change or drop one).
#include "platform/result.h"

#include <QString>
#include <QStringList>

// U+002E, U+3002, U+FF0E and U+FF61: the full stops that separate labels.
bool IsLabelSeparator(QChar c);
// `name` with every label separator written as ".".
QString WithAsciiFullStops(QString name);

// Why an ASCII label breaks the host-name rules (letters, digits and hyphens only, no hyphen first
// or last, at most 63 characters); done when it keeps them. The hyphens in the third and fourth
// places are checked by VerifyHyphens on the label's Unicode form.
Done VerifyAsciiLabel(const QString& label);
// Why a label's Unicode form breaks the hyphen rules (none first or last, not both in its third
// and fourth places); done when it keeps them.
Done VerifyHyphens(const QString& ulabel);
// Why the labels, in their Unicode form, break the Bidi rule; done when they keep it. A name
// without right-to-left characters always keeps it.
Done VerifyBidi(const QStringList& ulabels);

// The form in which two spellings of a name compare equal when UTS #46 maps one to the other:
// compatibility decomposition and case folding, with the characters UTS #46 ignores dropped.
QString ComparableForm(const QString& text);
