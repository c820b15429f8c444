#pragma once
// Signals for a program started with posix_spawn: as a freshly started program has them, whatever
// the starting thread blocks or this program ignores.
#include <spawn.h>

// Sets the signal mask and defaults on `attributes`; the flags that make posix_spawn use them.
short FreshSignals(posix_spawnattr_t& attributes);
