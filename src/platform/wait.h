#pragma once
// Waits that keep the window responsive: they process the event queue until their condition
// holds, sleeping in the event loop in between, so an idle wait costs no CPU.
#include <functional>

// Processes events until `done` returns true or `timeoutMs` milliseconds have passed (a negative
// time-out waits without limit). Returns the last value of `done`.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = -1);

// Processes every pending event once, without waiting.
void ProcessPendingEvents();
