// Two rounds of WHOIS and Finger look-ups against every misbehaving peer: each ends when the peer
// is done, within its time limit, and nothing is left open.
#include "support/hostilesoak.h"

#include <gtest/gtest.h>

TEST(HostileLookupPeers, EveryLookUpEndsInTimeAndLeavesNothingOpen) {
    const SoakFigures f = SoakLookups(2 * LookupBehaviours());
    PrintSoakFigures("look-ups", f);
    EXPECT_EQ(f.attempts, 2 * LookupBehaviours());
    EXPECT_EQ(f.overdue, 0);
    EXPECT_LE(f.fdsAfter, f.fdsBefore);
    for (auto it = f.outcomes.begin(); it != f.outcomes.end(); ++it)
        EXPECT_FALSE(it.key().endsWith("still running")) << qPrintable(it.key());
    for (const char* kind : {"WHOIS", "Finger"}) {
        EXPECT_EQ(f.outcomes.value(QString("a whole answer: %1 answered").arg(kind)), 1);
        EXPECT_EQ(f.outcomes.value(QString("1 MB answer line: %1 answered").arg(kind)), 1);
    }
}
