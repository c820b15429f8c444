// Two rounds of sends against every misbehaving mail peer: each send ends within its time limit
// with a sent message only where the peer took it, and nothing is left open or behind.
#include "support/hostilesoak.h"

#include <gtest/gtest.h>

TEST(HostileMailPeers, EverySendEndsInTimeAndLeavesNothingOpen) {
    const SoakFigures f = SoakSends(2 * MailBehaviours());
    PrintSoakFigures("sends", f);
    EXPECT_EQ(f.attempts, 2 * MailBehaviours());
    EXPECT_EQ(f.overdue, 0);
    EXPECT_LE(f.fdsAfter, f.fdsBefore);
    EXPECT_EQ(f.tempFilesLeft, 0);
    // Only the peers that take the message whole see it sent: the whole session, the 1 MB
    // greeting (cut to its first 255 bytes, still a 220) and a reset at QUIT, after the message.
    int sent = 0;
    for (auto it = f.outcomes.begin(); it != f.outcomes.end(); ++it)
        if (it.key().endsWith(": sent")) {
            sent += it.value();
            EXPECT_TRUE(it.key().startsWith("a whole session") ||
                        it.key().startsWith("1 MB reply line") ||
                        it.key().startsWith("reset at QUIT"))
                << qPrintable(it.key());
        }
    EXPECT_GE(sent, 2);
}
