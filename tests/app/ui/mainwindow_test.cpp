// The main window: caption, fixed size, pages, menu and the shell's menu commands.
#include "app/ui/aboutbox.h"
#include "app/ui/form1.h"
#include "app/ui/helpwindow.h"
#include "support/programsettings.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

TEST(MainWindow, HasItsCaptionFixedSizeAndSixPagesWithFirstTabsActive) {
    TForm1 form;
    EXPECT_EQ(form.windowTitle(), "Regiscribe 1.71");
    auto* pages = form.Control<QTabWidget>("PageControl1");
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->size(), QSize(538, 384));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(form.font().pointSize(), 8);
    // Below the first-start bar, hidden while a mail server is set.
    EXPECT_EQ(pages->parentWidget(), form.centralWidget());
    const QStringList captions{"Domain Reg",       "Host Reg", "Contact Reg",
                               "Database Objects", "WhoIs",    "Finger"};
    const QStringList names{"DomainRegSheet", "HostRegSheet", "ContactRegSheet",
                            "ObjectsSheet",   "WhoIsSheet",   "FingerSheet"};
    ASSERT_EQ(pages->count(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(pages->tabText(i), captions[i]);
        EXPECT_EQ(pages->widget(i)->objectName(), names[i]);
    }
    EXPECT_EQ(pages->currentIndex(), 0);
    for (const char* nested : {"PageControl2", "PageControl3", "PageControl4"}) {
        auto* tabs = form.Control<QTabWidget>(nested);
        ASSERT_NE(tabs, nullptr) << nested;
        EXPECT_EQ(tabs->currentIndex(), 0) << nested;
    }
    EXPECT_TRUE(pages->widget(0)->isAncestorOf(form.Control<QWidget>("Memo1")));
}

TEST(MainWindow, MenuHoldsTwoMenusWithSevenItemsInOrder) {
    TForm1 form;
    auto* bar = form.Control<QMenuBar>("MainMenu1");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(form.menuBar(), bar);
    const QList<QAction*> menus = bar->actions();
    ASSERT_EQ(menus.size(), 2);
    auto* file = form.Control<QMenu>("Setup1");
    auto* help = form.Control<QMenu>("Help1");
    ASSERT_TRUE(file && help);
    EXPECT_EQ(menus[0]->menu(), file);
    EXPECT_EQ(menus[1]->menu(), help);
    EXPECT_EQ(file->title(), "&File");
    EXPECT_EQ(help->title(), "&Help");
    auto items = [](QMenu* menu) {
        QStringList list;
        for (QAction* a : menu->actions())
            list << a->objectName() + "=" + a->text();
        return list;
    };
    EXPECT_EQ(
        items(file),
        QStringList({"Setup2=&Setup", "SentRegistrations1=Sent &Registrations...", "Exit1=E&xit"}));
    EXPECT_EQ(items(help), QStringList({"RegiscribeHomePage1=&Regiscribe Home Page",
                                        "QuillmarkHomePage1=&Quillmark Home Page",
                                        "Help2=&Contents", "About1=&About"}));
}

TEST(MainWindow, ExitRunsTheCloseStepsLikeTheCloseBoxAndClosesEvenWhenOneFails) {
    ProgramSettings settings; // closing writes the settings file
    TForm1 form;
    QStringList ran;
    form.CloseSteps.insert(form.CloseSteps.begin(), [&] {
        ran << "first";
        throw std::runtime_error("Unable to write to x.ini");
    });
    form.CloseSteps.push_back([&] { ran << "last"; });
    int closed = 0;
    QObject::connect(&form, &TForm1::Closed, [&] { ++closed; });
    form.show();
    form.Control<QAction>("Exit1")->trigger();
    // The failure stops the steps (the error box shows it) but not the close.
    EXPECT_EQ(ran, QStringList{"first"});
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(closed, 1);
    form.show();
    form.close(); // the close box takes the same path
    EXPECT_EQ(ran, (QStringList{"first", "first"}));
    EXPECT_EQ(closed, 2);
}

TEST(MainWindow, AboutShowsItsBoxModallyAndOkClosesIt) {
    TForm1 form;
    form.show();
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<TAboutBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (QLabel* label : box->findChildren<QLabel*>())
            if (!label->text().isEmpty()) seen << label->text();
        auto* product = box->findChild<QLabel*>("ProductName");
        EXPECT_TRUE(product->font().bold());
        EXPECT_GT(product->font().pointSize(), 12);
        int pictures = 0;
        for (QLabel* label : box->findChildren<QLabel*>())
            if (!label->pixmap().isNull()) ++pictures;
        EXPECT_EQ(pictures, 2);
        box->findChild<QPushButton*>("OKButton")->click();
    });
    form.Control<QAction>("About1")->trigger();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // The described texts, and the settings file in use.
    EXPECT_EQ(seen, QStringList({"Regiscribe", "The Internet Domain Name Registration Manager",
                                 "Version 1.71", "Settings file: " + form.SettingsFile}));
    EXPECT_EQ(form.SettingsFile, ProgramSettings::Path());  // the one REGISCRIBE_SETTINGS names
    EXPECT_TRUE(form.findChildren<TAboutBox*>().isEmpty()); // destroyed after use
}

TEST(MainWindow, ContentsOpensTheHelpContentsPage) {
    TForm1 form;
    form.Control<QAction>("Help2")->trigger();
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_TRUE(HelpWindow()->isVisible());
    EXPECT_EQ(HelpWindow()->Page(), HelpContentsUrl());
    HelpWindow()->close();
}

TEST(MainWindow, ActivationRunsTheActivateSteps) {
    TForm1 form;
    int activations = 0;
    form.ActivateSteps.push_back([&] { ++activations; });
    form.show();
    form.activateWindow();
    QApplication::setActiveWindow(&form);
    QCoreApplication::processEvents();
    EXPECT_GE(activations, 1);
}

TEST(MainWindow, EveryMenuItemHasAMnemonicOfItsOwn) {
    TForm1 form;
    for (QMenu* menu : form.menuBar()->findChildren<QMenu*>()) {
        QSet<QChar> used;
        for (QAction* item : menu->actions()) {
            if (item->isSeparator()) continue;
            const QString text = QString(item->text()).replace("&&", "");
            const qsizetype marker = text.indexOf('&');
            ASSERT_GE(marker, 0) << item->text().toStdString();
            ASSERT_LT(marker + 1, text.size()) << item->text().toStdString();
            const QChar key = text[marker + 1].toLower();
            EXPECT_FALSE(used.contains(key)) << item->text().toStdString();
            used.insert(key);
        }
    }
}
