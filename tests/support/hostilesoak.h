#pragma once
// Sends and look-ups against loopback peers that misbehave in turn: silence, a reset at each step
// of the protocol, a garbage greeting, a 1 MB reply line, one byte a second, a half-open
// connection, garbage for a TLS handshake. Counts what happened and what the process holds
// before and after. Used by a short test and by the soak benchmark.
#include <QMap>
#include <QString>

struct SoakFigures {
    int attempts = 0;
    int overdue = 0;                 // attempts that outlived their time limit
    QMap<QString, int> outcomes;     // "behaviour: how it ended" -> count
    QMap<QString, qint64> slowestMs; // behaviour -> its longest attempt
    int fdsBefore = 0, fdsAfter = 0; // open sockets and files
    long rssBeforeKb = 0, rssAfterKb = 0;
    int tempFilesLeft = 0; // files left in the temporary folder
};

// `attempts` sends through the mail client, cycling through the mail peer's behaviours.
SoakFigures SoakSends(int attempts);
// `attempts` WHOIS and Finger look-ups (in turn), cycling through the look-up peer's behaviours.
SoakFigures SoakLookups(int attempts);
// Prints the figures under `title`: how the attempts ended, the slowest attempt of each behaviour
// and a summary line.
void PrintSoakFigures(const char* title, const SoakFigures& f);
// How many behaviours each cycles through (a full cycle tries each once).
int MailBehaviours();
int LookupBehaviours();
