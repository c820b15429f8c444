#include "lookup/fingerlookup.h"

#include "lookup/connectandask.h"
#include "lookup/lcerrors.h"
#include "lookup/lcipport.h"
#include "platform/messageboxes.h"
#include "platform/wait.h"

#include <utility>

QString LeftChars(const QString& text, int count) {
    int units = 0;
    for (int chars = 0; units < text.size() && chars < count; ++chars)
        units += text[units].isHighSurrogate() && units + 1 < text.size() ? 2 : 1;
    return text.left(units);
}

FingerLookup::FingerLookup(TlcIPPort& port, LookupView& view) : port_(port), view_(view) {
    port_.OnConnected = [this](QObject* s, int c, const QString& d) { IPPort2Connected(s, c, d); };
    port_.OnDataIn = [this](QObject* s, QByteArrayView t, bool e) { IPPort2DataIn(s, t, e); };
    port_.OnError = [this](QObject* s, int c, const QString& d) { IPPort2Error(s, c, d); };
    port_.OnDisconnected = [this](QObject* s, int c, const QString& d) {
        IPPort2Disconnected(s, c, d);
    };
}

LookupOutcome FingerLookup::LookUp() {
    const QString text = view_.QueryText();
    if (text.isEmpty()) {
        Boxes().Beep();
        return LookupOutcome::NothingToLookUp;
    }
    try {
        port_.SetWinsockLoaded(true);
        port_.SetEOL("\r\n");
        awaitingAnswer_ = false;
        port_.SetConnected(false);
        answer_.Clear();
        qsizetype at = text.indexOf('@');
        if (at >= 0) {
            FingerUser = text.left(at);
            FingerHost = LeftChars(text.mid(at + 1), 255);
        } else {
            FingerUser.clear();
            FingerHost = text;
        }
        view_.AddResponse("Requesting " + FingerHost + "...");
        ProcessPendingEvents();
        port_.SetRemoteHost(FingerHost);
        port_.SetRemotePort(Port);
        view_.AddResponse("Connecting to " + port_.RemoteHost() +
                          "...   Will time out in 15 seconds");
        // No user asks the host for its list of users.
        return ConnectAndAsk(port_, view_, ConnectionWaitMs, [this] { return FingerUser; });
    } catch (const ElcIPPort& e) {
        view_.AddResponse("Exception: " + e.Message());
        return LookupOutcome::Failed;
    }
}

void FingerLookup::lResponseDblClick() {
    std::optional<QString> item = view_.SelectedResponse();
    if (!item) return;
    qsizetype blank = item->indexOf(' ');
    if (blank < 0) return;
    FingerUser = item->left(blank);
    view_.SetQueryText(FingerUser + "@" + FingerHost);
    LookUp();
}

void FingerLookup::tHostDblClick() {
    QString text = view_.QueryText();
    qsizetype at = text.indexOf('@');
    if (at < 0) return;
    view_.SetQueryText(LeftChars(text.mid(at + 1), 255));
    LookUp();
}

void FingerLookup::IPPort2Connected(QObject*, int statusCode, const QString& description) {
    awaitingAnswer_ = statusCode == 0;
    if (statusCode != 0) view_.AddConnectionFailure("Connection failed: " + description);
}

void FingerLookup::IPPort2DataIn(QObject*, QByteArrayView text, bool eol) {
    awaitingAnswer_ = false;
    if (const auto line = answer_.Line(text, eol)) view_.AddAnswer(*line);
}

void FingerLookup::IPPort2Disconnected(QObject*, int statusCode, const QString&) {
    if (const auto rest = answer_.Finish()) view_.AddAnswer(*rest);
    // A reset was told already, with its code: it is no silent close.
    if (std::exchange(awaitingAnswer_, false) && statusCode == 0)
        view_.AddResponse(ClosedWithoutAnswer);
}

void FingerLookup::IPPort2Error(QObject*, int errorCode, const QString& description) {
    Boxes().Error("IPPort error: " + QString::number(errorCode) + description);
}
