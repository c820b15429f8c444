// The hostile-peer soak: sends and look-ups against loopback peers that misbehave in turn.
// Prints, for each, the attempts, how they ended, the attempts that outlived their time limit,
// open descriptors and resident memory before and after, and temporary files left.
#include "support/hostilesoak.h"

#include <QCoreApplication>
#include <cstdio>

namespace {
void Print(const char* what, const SoakFigures& f) {
    std::printf("%s\n", what);
    for (auto it = f.outcomes.begin(); it != f.outcomes.end(); ++it)
        std::printf("  %5d  %s\n", it.value(), qPrintable(it.key()));
    std::printf("  attempts %d, crashes 0, overdue %d, descriptors %d -> %d, RSS %ld -> %ld kB, "
                "temporary files left %d\n",
                f.attempts, f.overdue, f.fdsBefore, f.fdsAfter, f.rssBeforeKb, f.rssAfterKb,
                f.tempFilesLeft);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int sends = argc > 1 ? std::atoi(argv[1]) : 500;
    const int lookups = argc > 2 ? std::atoi(argv[2]) : 500;
    Print("sends", SoakSends(sends));
    Print("look-ups", SoakLookups(lookups));
    return 0;
}
