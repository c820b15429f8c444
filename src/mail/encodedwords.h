#pragma once
// Header text that is not ASCII (a display name, a subject), written as MIME encoded-words
// "=?UTF-8?B?...?=" and folded so that no header line passes 78 characters. ASCII text is never
// passed through here: it keeps the message's described form.
#include <QString>
#include <QStringList>

// The longest header line written for encoded text, without its CR LF.
constexpr int kFoldedLineLimit = 78;

// `text` as encoded-words of at most `maxWordLength` characters each. A word never splits a UTF-8
// sequence (nor a surrogate pair); where the text must be split, it is split after a blank when
// one lies within the word.
QStringList EncodedWords(const QString& text, int maxWordLength);

enum class HeaderText { Phrase, Unstructured };

// The lines of one header field: `start` (the padded field name, or the blanks of a continued
// address list), then `text`, then `tail` (" <address>" and its comma, or empty). Words that hold
// no letter outside ASCII stay as they are, so the text stays readable and its blanks keep their
// meaning; runs of the other words become encoded-words (in a display name, a `Phrase`, also
// words holding characters that a phrase cannot carry bare, such as "." or ","). A word or the
// tail that would pass the limit begins a continuation line with one blank.
QStringList FoldedEncodedField(const QString& start, const QString& text, const QString& tail,
                               HeaderText kind);
