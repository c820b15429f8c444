#pragma once
// The short texts of the mail suite (address parts, subject, content type) hold at most 255
// characters. A cut never splits a character, and a line end inside such a text is stored as a
// blank, so a stored value can never start a new header line or command.
#include "platform/cuttext.h"

#include <QString>

constexpr int kShortTextLimit = 255;

// `text` cut to the short-text limit.
inline QString CutShortText(const QString& text) {
    return CutText(text, kShortTextLimit);
}
// `text` with every CR and LF replaced by a blank, then cut to the short-text limit.
QString ShortText(const QString& text);
