#pragma once
// The bar above the main window's pages while no mail server is set (a first start, or a settings
// file without one): it says where to set one up and has a button that opens Setup.
class QAction;
class QWidget;

// Hidden at first; its button triggers `setup` (File > Setup).
QWidget* MakeSetupBar(QWidget* parent, QAction* setup);
