#pragma once
// The font of the program's windows: "MS Sans Serif" 8 point where installed, else the nearest
// sans-serif family of the same narrow build.
#include <QFont>

QFont WindowFont();
