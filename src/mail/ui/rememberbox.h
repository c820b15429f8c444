#pragma once
#include <QString>

class QCheckBox;
class QWidget;

// The "Remember in the keyring" check box; disabled, with the reason as tool tip, where no
// keyring answers.
QCheckBox* MakeRememberBox(QWidget* parent);
