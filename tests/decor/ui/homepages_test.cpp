// The Help menu's two home-page items open their addresses in the desktop's default browser.
#include "app/ui/form1.h"
#include "platform/messageboxes.h"
#include "support/desktophandler.h"

#include <QAction>
#include <gtest/gtest.h>

namespace {
// A desktop whose default browser is a script that writes its arguments into a file.
struct RecordingBrowser : DesktopHandler {
    RecordingBrowser() : DesktopHandler({"x-scheme-handler/http", "x-scheme-handler/https"}) {}
};
} // namespace

TEST(HomePages, EachMenuItemOpensItsAddress) {
    auto boxes = std::make_shared<ScriptedBoxes>();
    SetBoxes(boxes);
    RecordingBrowser browser;
    TForm1 form;
    auto* regiscribe = form.findChild<QAction*>("RegiscribeHomePage1");
    auto* quillmark = form.findChild<QAction*>("QuillmarkHomePage1");
    ASSERT_TRUE(regiscribe && quillmark);

    regiscribe->trigger();
    EXPECT_EQ(browser.NextStart(), "https://regiscribe.example/\n");
    quillmark->trigger();
    EXPECT_EQ(browser.NextStart(), "https://quillmark.example/\n");
    EXPECT_TRUE(boxes->Texts("error").isEmpty());
}
