#pragma once
// The program's own pictures, drawn at run time at the screen's pixel ratio: the splash picture
// and the two About pictures. Sizes are in logical pixels.
#include <QPixmap>

QPixmap SplashPicture(); // 145 x 84
QPixmap GlobePicture(int size);
QPixmap LetterPicture(int size);
