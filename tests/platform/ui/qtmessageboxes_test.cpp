// The real boxes: their captions, the text they show, and how each way of closing a Yes/No box
// answers it.
#include "platform/ui/qtmessageboxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {
struct SeenBox {
    QString caption;
    QString text;
};

// Runs `act` on the box that `show` brings up, once it is on screen, and notes what it showed.
SeenBox WhileShown(const std::function<void()>& show,
                   const std::function<void(QMessageBox&)>& act) {
    SeenBox seen;
    bool handled = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || handled || !box->isVisible()) return;
        handled = true;
        seen = {box->windowTitle(), box->text()};
        act(*box);
    });
    poll.start();
    show();
    EXPECT_TRUE(handled);
    return seen;
}
} // namespace

TEST(QtBoxes, YesNoTellsYesNoEscapeAndTheCloseButtonApart) {
    QtMessageBoxes boxes;
    BoxAnswer answer{};
    const auto ask = [&] { answer = boxes.WarningYesNo("Delete it?"); };

    SeenBox seen = WhileShown(ask, [](QMessageBox& b) { b.button(QMessageBox::Yes)->click(); });
    EXPECT_EQ(answer, BoxAnswer::Yes);
    EXPECT_EQ(seen.caption, "Warning");
    EXPECT_EQ(seen.text, "Delete it?");

    WhileShown(ask, [](QMessageBox& b) { b.button(QMessageBox::No)->click(); });
    EXPECT_EQ(answer, BoxAnswer::No);

    WhileShown(ask, [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Escape); });
    EXPECT_EQ(answer, BoxAnswer::No);

    WhileShown(ask, [](QMessageBox& b) { b.close(); });
    EXPECT_EQ(answer, BoxAnswer::Closed);

    // Enter takes the default button, Yes.
    WhileShown(ask, [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Return); });
    EXPECT_EQ(answer, BoxAnswer::Yes);
}

TEST(QtBoxes, CaptionsAreTheStandardOnesAndADoubledAmpersandShowsOnce) {
    QtMessageBoxes boxes;
    const auto ok = [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Return); };
    SeenBox info = WhileShown([&] { boxes.Information("Notify && Authentication"); }, ok);
    EXPECT_EQ(info.caption, "Information");
    EXPECT_EQ(info.text, "Notify & Authentication");
    SeenBox warning = WhileShown([&] { boxes.Warning("Connection timed out."); }, ok);
    EXPECT_EQ(warning.caption, "Warning");
    SeenBox error = WhileShown([&] { boxes.Error("Disk full."); }, ok);
    EXPECT_EQ(error.caption, "Regiscribe");
    EXPECT_EQ(error.text, "Disk full.");
}
