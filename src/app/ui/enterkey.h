#pragma once
// Enter (and Return) on a focused push button presses that button, in every window of the program:
// in the main window (where Qt gives Enter no meaning on buttons) as in the dialogs (where a button
// that is not its dialog's default would otherwise pass Enter on to the default button, so Enter
// on "Security..." or "Test" accepted the whole dialog). Enter elsewhere in a dialog still presses
// its one default button. Installed once for the application; calling it again does nothing.
void EnterPressesFocusedButton();
