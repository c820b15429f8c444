#include "lookup/whoislookup.h"

#include "lookup/connectandask.h"
#include "lookup/lcerrors.h"
#include "lookup/lcipport.h"
#include "platform/messageboxes.h"
#include "platform/wait.h"

WhoisLookup::WhoisLookup(TlcIPPort& port, LookupView& view) : port_(port), view_(view) {
    port_.OnConnected = [this](QObject* s, int c, const QString& d) { IPPort1Connected(s, c, d); };
    port_.OnDataIn = [this](QObject* s, QByteArrayView t, bool e) { IPPort1DataIn(s, t, e); };
    port_.OnError = [this](QObject* s, int c, const QString& d) { IPPort1Error(s, c, d); };
    port_.OnDisconnected = [this](QObject* s, int c, const QString& d) {
        IPPort1Disconnected(s, c, d);
    };
}

QString WhoisLookup::LookUpHint() {
    return QString("Searches ") + RegistryServer + " for the name you entered to the left.";
}

LookupOutcome WhoisLookup::LookUp() {
    if (view_.QueryText().isEmpty()) {
        Boxes().Beep();
        return LookupOutcome::NothingToLookUp;
    }
    try {
        port_.SetWinsockLoaded(true);
        port_.SetEOL("\n");
        if (port_.Connected()) port_.SetConnected(false);
        answer_.Clear();
        view_.ClearResponse();
        view_.AddResponse("Looking up host " + Server + "...");
        port_.SetRemoteHost(Server);
        port_.SetRemotePort(Port);
        view_.AddResponse("Connecting to " + port_.RemoteHost() + " ...");
        return ConnectAndAsk(port_, view_, ConnectionWaitMs, [this] { return view_.QueryText(); });
    } catch (const ElcIPPort& e) {
        view_.AddResponse("Exception: " + e.Message());
        return LookupOutcome::Failed;
    }
}

void WhoisLookup::IPPort1Connected(QObject*, int statusCode, const QString& description) {
    view_.ClearResponse();
    if (statusCode == 0) {
        view_.AddResponse("Connected. Waiting for data...");
        view_.AddResponse("");
    } else {
        view_.AddConnectionFailure("Connection failed: " + description);
    }
}

void WhoisLookup::IPPort1DataIn(QObject*, QByteArrayView text, bool eol) {
    if (const auto line = answer_.Line(text, eol)) view_.AddAnswer(*line);
}

void WhoisLookup::IPPort1Disconnected(QObject*, int, const QString&) {
    if (const auto rest = answer_.Finish()) view_.AddAnswer(*rest);
}

void WhoisLookup::IPPort1Error(QObject*, int errorCode, const QString& description) {
    Boxes().Error("IPPort error: " + QString::number(errorCode) + description);
}
