#pragma once
// The line encoders for attachments: base64 (57 bytes a line) and uuencode (45 bytes a line), with
// their decoders for the receiving side.
#include <QByteArray>
#include <QByteArrayList>

// One line of standard base64 for up to 57 bytes (76 characters for a full chunk).
QByteArray EncodeBase64Line(const QByteArray& chunk);
// The bytes of one base64 line; a character outside the alphabet and "=" fails with
// "Invalid Character". Blanks, tabs and line ends are ignored.
QByteArray DecodeBase64Line(const QByteArray& line);
// A whole attachment as base64 lines: 57 bytes a line, ending after the first short chunk (an
// empty line when the size is a multiple of 57).
QByteArrayList EncodeBase64Lines(const QByteArray& data);

// One uuencoded line for up to 45 bytes: the length character, then the encoded bytes.
QByteArray EncodeUuLine(const QByteArray& chunk);
// The bytes of one uuencoded line (the length character says how many).
QByteArray DecodeUuLine(const QByteArray& line);
// A whole attachment as uuencoded lines, 45 bytes a line, ending after the first short chunk.
QByteArrayList EncodeUuLines(const QByteArray& data);
