#pragma once
// The About box: product name, description, version and two pictures, closed by OK.
#include <QDialog>

class QLabel;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    // Tells which settings file the program uses.
    void SetSettingsFile(const QString& path);

private:
    QLabel* settings_;
};
