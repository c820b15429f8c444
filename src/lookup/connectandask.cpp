#include "lookup/connectandask.h"

#include "lookup/lcipport.h"
#include "platform/messageboxes.h"
#include "platform/wait.h"

LookupOutcome ConnectAndAsk(TlcIPPort& port, LookupView& view, int waitMs,
                            const std::function<QString()>& query) {
    port.SetConnected(true);
    WaitUntil([&port] { return port.Connected() || !port.Connecting(); }, waitMs);
    if (port.Connected()) {
        port.SetDataToSend((query() + "\r\n").toUtf8());
        return LookupOutcome::QuerySent;
    }
    // The attempt has ended (OnConnected told why, or the server closed at once): nothing to wait
    // for any more.
    if (!port.Connecting()) return LookupOutcome::Failed;
    Boxes().Warning("Connection timed out.");
    view.ClearResponse();
    return LookupOutcome::TimedOut;
}
