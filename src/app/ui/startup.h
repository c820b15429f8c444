#pragma once
// Program entry: application object, splash window, main window and the other windows, splash
// wait, message loop.
int RunRegiscribe(int argc, char** argv);
