#pragma once
// The program's own pictures, drawn at run time: the splash picture and the two About pictures.
#include <QPixmap>

QPixmap SplashPicture(); // 145 x 84
QPixmap GlobePicture(int size);
QPixmap LetterPicture(int size);
