#include "app/ui/aboutbox.h"

#include "app/ui/controls.h"
#include "app/ui/pictures.h"
#include "app/ui/windowfont.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setFont(WindowFont());
    setObjectName("AboutBox");
    setWindowTitle("About");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* column = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* globe = new QLabel(this);
    globe->setObjectName("ProgramIcon");
    globe->setPixmap(GlobePicture(64));
    row->addWidget(globe, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    auto* product = new QLabel("Regiscribe", this);
    product->setObjectName("ProductName");
    QFont big("Arial");
    big.setPointSize(20);
    big.setBold(true);
    product->setFont(big);
    texts->addWidget(product);
    auto* comments = new QLabel("The Internet Domain Name Registration Manager", this);
    comments->setObjectName("Comments");
    texts->addWidget(comments);
    auto* version = new QLabel("Version 1.71", this);
    version->setObjectName("Version");
    texts->addWidget(version);
    row->addLayout(texts, 1);
    auto* letter = new QLabel(this);
    letter->setObjectName("LetterIcon");
    letter->setPixmap(LetterPicture(64));
    row->addWidget(letter, 0, Qt::AlignTop);
    column->addLayout(row);
    settings_ = new QLabel(this);
    settings_->setObjectName("SettingsFile");
    settings_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    settings_->hide();
    column->addWidget(settings_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton* ok = MakeButton(this, "OKButton", "OK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(ok);
    buttons->addStretch(1);
    column->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::SetSettingsFile(const QString& path) {
    settings_->setText("Settings file: " + path);
    settings_->setVisible(!path.isEmpty());
}
