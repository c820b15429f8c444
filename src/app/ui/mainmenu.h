#pragma once
// The main menu MainMenu1: "&File" (Setup, Exit) and "&Help" (the two home pages, Contents,
// About). Each item is a QAction named as the item; the window connects Exit, Contents and About,
// the other subsystems find their items by name.
class QAction;
class QMainWindow;

struct MainMenuCommands {
    QAction* setup;
    QAction* exit;
    QAction* contents;
    QAction* about;
};

MainMenuCommands BuildMainMenu(QMainWindow& window);
