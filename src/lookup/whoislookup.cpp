#include "lookup/whoislookup.h"

#include "lookup/connectandask.h"
#include "lookup/lcerrors.h"
#include "lookup/lcipport.h"
#include "platform/fullstop.h"
#include "platform/idna.h"
#include "platform/messageboxes.h"
#include "platform/wait.h"

#include <utility>

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
    ++lookup_;
    // A name that UTS #46 refuses is not asked at all: what reached the server would be another
    // name, or none.
    refusal_.clear();
    const std::optional<QString> query = QueryForWire(view_.QueryText(), &refusal_);
    if (!query) {
        refusal_ = WithFullStop(refusal_);
        view_.ClearResponse();
        view_.AddResponse(refusal_);
        return LookupOutcome::Refused;
    }
    referrals_ = 0;
    referralHop_ = referralPending_ = awaitingAnswer_ = false;
    asked_ = QStringList{WhoisServer{Server, Port}.Key()};
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
        return ConnectAndAsk(port_, view_, ConnectionWaitMs, [this, query] {
            query_ = *query;
            search_ = ReferralSearch(AskedName(query_));
            return query_;
        });
    } catch (const ElcIPPort& e) {
        view_.AddResponse("Exception: " + e.Message());
        return LookupOutcome::Failed;
    }
}

bool WhoisLookup::Active() const {
    return referralPending_ || port_.Connected() || port_.Connecting();
}

void WhoisLookup::Stop() {
    ++lookup_;
    referralPending_ = awaitingAnswer_ = false;
    port_.SetConnected(false);
}

void WhoisLookup::IPPort1Connected(QObject*, int statusCode, const QString& description) {
    awaitingAnswer_ = statusCode == 0;
    if (referralHop_) {
        // A referral's answer goes below what is shown.
        if (statusCode != 0) view_.AddResponse("Referral failed: " + description);
        return;
    }
    view_.ClearResponse();
    if (statusCode == 0) {
        view_.AddResponse("Connected. Waiting for data...");
        view_.AddResponse("");
    } else {
        view_.AddConnectionFailure("Connection failed: " + description);
    }
}

void WhoisLookup::IPPort1DataIn(QObject*, QByteArrayView text, bool eol) {
    awaitingAnswer_ = false;
    const auto line = answer_.Line(text, eol);
    if (!line) return;
    view_.AddAnswer(*line);
    // The search reads the text as received: a CR at the end of a value is no part of a host.
    if (FollowReferrals) search_.Feed(DecodeAnswerBytes(*line));
}

void WhoisLookup::IPPort1Disconnected(QObject*, int statusCode, const QString&) {
    if (const auto rest = answer_.Finish()) view_.AddAnswer(*rest);
    // A reset was told already, with its code: it is no silent close.
    if (std::exchange(awaitingAnswer_, false) && statusCode == 0)
        view_.AddResponse(ClosedWithoutAnswer);
    if (!FollowReferrals || referrals_ >= MaxReferrals) return;
    const WhoisReferral referral = search_.Found();
    if (!referral.unsupported.isEmpty()) {
        view_.AddResponse("");
        view_.AddResponse("Referral to " + referral.unsupported +
                          " not followed: RWhois is not supported.");
        return;
    }
    const std::optional<WhoisServer> next = referral.server;
    if (!next || asked_.contains(next->Key())) return;
    if (next->port != 43) {
        view_.AddResponse("");
        view_.AddResponse("Referral to " + next->Shown() + " not followed: not a WHOIS port.");
        return;
    }
    // The next server is asked once this notification is over.
    referralPending_ = true;
    QMetaObject::invokeMethod(
        &port_, [this, server = *next, lookup = lookup_] { FollowReferral(server, lookup); },
        Qt::QueuedConnection);
}

void WhoisLookup::FollowReferral(const WhoisServer& server, uint64_t lookup) {
    if (lookup != lookup_) return;
    referralPending_ = false;
    ++referrals_;
    asked_ << server.Key();
    search_ = ReferralSearch(AskedName(query_));
    answer_.Clear();
    referralHop_ = true;
    view_.AddResponse("");
    view_.AddResponse("Following referral to " + server.Shown() + " ...");
    try {
        port_.SetRemoteHost(QueryForWire(server.host).value_or(server.host));
        port_.SetRemotePort(server.port);
        port_.SetConnected(true);
        WaitUntil(
            [this, lookup] {
                return port_.Connected() || !port_.Connecting() || lookup != lookup_;
            },
            ConnectionWaitMs);
        if (lookup != lookup_) return;
        if (port_.Connected()) {
            port_.SetDataToSend((query_ + "\r\n").toUtf8());
        } else if (port_.Connecting()) {
            port_.SetConnected(false);
            view_.AddResponse("Referral failed: Connection timed out.");
        }
    } catch (const ElcIPPort& e) {
        view_.AddResponse("Referral failed: " + e.Message());
    }
}

void WhoisLookup::IPPort1Error(QObject*, int errorCode, const QString& description) {
    Boxes().Error("IPPort error: " + QString::number(errorCode) + description);
}
