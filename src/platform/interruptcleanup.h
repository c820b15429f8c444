#pragma once
// What must not outlive an interrupted program: a terminal left without echo by a secret prompt,
// and the process groups of secret commands still running. On SIGINT and SIGTERM the handler
// restores every saved terminal and kills every registered group, then lets the signal take its
// former course (the default one ends the program as before).
//
// Registration is safe from any thread; the handler uses only async-signal-safe calls.
#include <sys/types.h>
#include <termios.h>

namespace InterruptCleanup {
// A registration; Forget takes it back. -1 when every slot is taken (the cleanup is then skipped,
// nothing else changes).
using Slot = int;

// Restores `settings` on terminal `fd` if the program is interrupted.
Slot RestoreTerminalOnInterrupt(int fd, const termios& settings);
// Kills process group `group` with SIGKILL if the program is interrupted.
Slot KillGroupOnInterrupt(pid_t group);
void Forget(Slot slot);
} // namespace InterruptCleanup
