#pragma once
// The program's own pictures, drawn at run time at the screen's pixel ratio: the splash picture
// the two About pictures and the windows' icon. Sizes are in logical pixels.
#include <QIcon>
#include <QPixmap>

QPixmap SplashPicture(); // 145 x 84
QPixmap GlobePicture(int size);
QPixmap LetterPicture(int size);
QIcon ProgramIcon(); // the globe at the usual icon sizes
