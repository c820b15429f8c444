// The hostile-peer soak: sends and look-ups against loopback peers that misbehave in turn.
// Prints, for each, the attempts, how they ended, the attempts that outlived their time limit,
// open descriptors and resident memory before and after, and temporary files left.
#include "support/hostilesoak.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int sends = argc > 1 ? std::atoi(argv[1]) : 500;
    const int lookups = argc > 2 ? std::atoi(argv[2]) : 500;
    PrintSoakFigures("sends", SoakSends(sends));
    PrintSoakFigures("look-ups", SoakLookups(lookups));
    return 0;
}
