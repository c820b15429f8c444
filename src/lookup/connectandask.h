#pragma once
// The part both look-ups share: connect, wait for the connection while the window keeps working,
// then send the query line, or report the time-out.
#include "lookup/lookupview.h"

#include <QString>
#include <functional>

class TlcIPPort;

// Connects `port` (its host and port already set) and waits at most `waitMs`, or until the attempt
// fails. Connected: sends query() followed by CR LF (read after the wait, so what was typed
// meanwhile is what is asked). Refused, reset or closed at once: the look-up ends there, the view
// keeping the line its handlers showed. Neither connected nor failed in time: the "Connection
// timed out." box, then the answer view is emptied. ElcIPPort failures pass to the caller.
LookupOutcome ConnectAndAsk(TlcIPPort& port, LookupView& view, int waitMs,
                            const std::function<QString()>& query);
