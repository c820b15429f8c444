#pragma once
// How the text of a memo (the domain's purpose, PurposeEdit, is the only one) is kept in an INI
// value, which holds exactly one line.
//
// Stored form, applied to the whole text:
//   "\"  becomes "\\"     (so a backslash that is text can never start an escape)
//   CR   becomes "\r"
//   LF   becomes "\n"     (a CR LF line break is therefore "\r\n")
// The result is then put in double quotation marks when the reading rules would change it: when it
// starts or ends with a blank or a tab, or starts and ends with the same quotation mark. Reading
// drops exactly that one pair again, so every text comes back exactly as it was written, also one
// that itself contains "\n" or "\\". A single-line text without backslashes is stored as it is, as
// it always was. Decoding leaves any other backslash sequence (and a lone backslash at the end, as
// the length limit may leave one) as it stands.
#include <QString>

QString EncodeMemoValue(const QString& text);
QString DecodeMemoValue(const QString& stored);
