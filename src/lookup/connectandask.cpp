#include "lookup/connectandask.h"

#include "lookup/lcipport.h"
#include "platform/messageboxes.h"
#include "platform/wait.h"

LookupOutcome ConnectAndAsk(TlcIPPort& port, LookupView& view, int waitMs,
                            const std::function<QString()>& query) {
    port.SetConnected(true);
    WaitUntil([&port] { return port.Connected(); }, waitMs);
    if (port.Connected()) {
        port.SetDataToSend((query() + "\r\n").toUtf8());
        return LookupOutcome::QuerySent;
    }
    Boxes().Warning("Connection timed out.");
    view.ClearResponse();
    return LookupOutcome::TimedOut;
}
