#pragma once
// The window's editable combo box. Its change reaction runs for the user's edits (the line edit's
// textEdited) and list picks (textActivated) only. Qt's editable box also "activates" the item
// matching its text, and selects it, when focus leaves the box or Enter is pressed in it; here
// neither passing through the box nor Enter on its text picks anything, so textActivated means a
// pick from the open list, an arrow key or the wheel on the closed box.
#include <QComboBox>

class TComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TComboBox(QWidget* parent = nullptr);

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
