#pragma once
#include <QString>

// The error box adds a full stop to a message unless it already ends in one or in a character
// that sorts before it (a blank, "!", ",", "-" and the like). An empty message stays empty.
QString WithFullStop(const QString& message);
