#include "platform/exception.h"
#include "platform/fileerror.h"
#include "platform/fullstop.h"
#include "platform/guard.h"
#include "platform/messageboxes.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <memory>

TEST(ErrorBox, AddsAFullStopOnlyAfterCharactersThatSortAfterIt) {
    EXPECT_EQ(WithFullStop("Server property is required"), "Server property is required.");
    EXPECT_EQ(WithFullStop("Done."), "Done.");
    EXPECT_EQ(WithFullStop("Trailing blank "), "Trailing blank ");
    EXPECT_EQ(WithFullStop("Shout!"), "Shout!");
    EXPECT_EQ(WithFullStop("list,"), "list,");
    EXPECT_EQ(WithFullStop("550 refused-"), "550 refused-");
    EXPECT_EQ(WithFullStop("path/"), "path/.");
    EXPECT_EQ(WithFullStop("code 5"), "code 5.");
    EXPECT_EQ(WithFullStop(""), "");
}

TEST(ErrorBox, GuardShowsTheMessageOfAnEscapingException) {
    auto boxes = std::make_shared<ScriptedBoxes>();
    SetBoxes(boxes);
    EXPECT_TRUE(Guarded([] {}));
    EXPECT_FALSE(Guarded([] { throw Exception("Unable to write to x.ini"); }));
    EXPECT_FALSE(Guarded([] { RaiseFileError(ENOENT); }));
    EXPECT_FALSE(Guarded([] { RaiseFileError(EIO); }));
    EXPECT_EQ(boxes->Texts("error"), QStringList({"Unable to write to x.ini.", "Invalid filename.",
                                                  QString("I/O error %1.").arg(EIO)}));
}

TEST(FileErrors, MapTheSystemErrorsToTheProgramsNumbers) {
    EXPECT_EQ(FileErrorText(FileErrorCode(ENOENT)), "Invalid filename");
    EXPECT_EQ(FileErrorText(FileErrorCode(EACCES)), "File access denied");
    EXPECT_EQ(FileErrorText(FileErrorCode(EMFILE)), "Too many open files");
    EXPECT_EQ(FileErrorText(FileErrorCode(ENOSPC)), "Disk full");
    EXPECT_EQ(FileErrorText(2), "File not found");
}
