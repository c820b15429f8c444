#pragma once
// The application's error handler: every handler the toolkit calls runs inside Guarded(), so an
// exception never crosses the event loop. Its message goes to the error box with the full-stop
// rule.
#include <functional>

// Runs `handler`; an escaping exception shows the error box. Returns false when one did.
bool Guarded(const std::function<void()>& handler);
