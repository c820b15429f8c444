#pragma once
#include <QString>

// `text` cut to at most `limit` characters without splitting a surrogate pair.
QString CutText(const QString& text, qsizetype limit);
