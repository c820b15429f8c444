#pragma once
// The main menu MainMenu1: "&File" (Setup, Exit) and "&Help" (the two home pages, Contents,
// About). Each item is a QAction named as the item; the shell connects Exit, Contents and About,
// the other subsystems find their items by name.
class TForm1;

void BuildMainMenu(TForm1& form);
