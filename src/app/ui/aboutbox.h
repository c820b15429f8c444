#pragma once
// The About box: product name, description, version and two pictures, closed by OK.
#include <QDialog>

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};
