#include "app/ui/mainmenu.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {
QAction* AddItem(QMenu* menu, const char* name, const char* caption) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    return item;
}

QMenu* AddMenu(QMenuBar* bar, const char* name, const char* caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}
} // namespace

// Every item has a mnemonic (shown underlined; the captions read the same), none twice in a menu.
MainMenuCommands BuildMainMenu(QMainWindow& window) {
    QMenuBar* bar = window.menuBar();
    bar->setObjectName("MainMenu1");
    bar->setNativeMenuBar(false);
    QMenu* file = AddMenu(bar, "Setup1", "&File");
    QAction* setup = AddItem(file, "Setup2", "&Setup");
    AddItem(file, "SentRegistrations1", "Sent &Registrations...");
    QAction* exit = AddItem(file, "Exit1", "E&xit");
    QMenu* help = AddMenu(bar, "Help1", "&Help");
    AddItem(help, "RegiscribeHomePage1", "&Regiscribe Home Page");
    AddItem(help, "QuillmarkHomePage1", "&Quillmark Home Page");
    QAction* contents = AddItem(help, "Help2", "&Contents");
    QAction* about = AddItem(help, "About1", "&About");
    return {setup, exit, contents, about};
}
