#pragma once
// Runs a blocking call (a library that waits for a process or a person) on a thread of its own
// while the event queue keeps flowing, so the window stays responsive and repaints. The wait
// sleeps in the event loop; the thread's end wakes it.
#include <functional>

void RunOffThread(const std::function<void()>& work);

// Runs `work` on the window thread (the thread that first called this), through its event queue;
// callable from any thread at any time, also while the program ends.
void PostToWindowThread(std::function<void()> work);
