#pragma once
// The WHOIS look-up: one query line to TCP port 43 of the registry's WHOIS server, the answer shown
// line by line as it arrives. Shared by the WhoIs tab and `regiscribe-cli whois`.
//
// Beside the described look-up: an international name is sent as its A-label, and with
// FollowReferrals the registrar's server that the answer names is asked the same text once the
// registry has closed (up to three referrals, never the same server twice, only on port 43: a
// referral may not turn the query into a message to another service).
#include "lookup/lookupview.h"
#include "lookup/whoisreferral.h"

#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>

class TlcIPPort;

class WhoisLookup {
public:
    static constexpr const char* RegistryServer = "whois.internic.net";

    // Takes over the port's OnConnected, OnDataIn and OnError.
    WhoisLookup(TlcIPPort& port, LookupView& view);

    // The server asked; the window always uses the registry's. Tests and the companion point it
    // elsewhere.
    QString Server = RegistryServer;
    uint16_t Port = 43;
    int ConnectionWaitMs = 15000;
    // Ask the server the answer refers to, as well ("Follow referrals").
    bool FollowReferrals = false;
    static constexpr int MaxReferrals = 3;

    // bLookUp's hint, naming the server.
    static QString LookUpHint();

    // Runs one look-up (bLookUp's click).
    LookupOutcome LookUp();
    // True while the answer may still grow: a connection open or being made, or a referral to
    // follow.
    bool Active() const;
    // Stops the look-up in progress, a referral included, and closes its connection.
    void Stop();
    // Why the last look-up's text was refused (LookupOutcome::Refused); empty otherwise.
    const QString& Refusal() const { return refusal_; }

    void IPPort1Connected(QObject* sender, int statusCode, const QString& description);
    void IPPort1DataIn(QObject* sender, QByteArrayView text, bool eol);
    void IPPort1Error(QObject* sender, int errorCode, const QString& description);
    // The end of the answer: bytes still waiting for the rest of a character are shown.
    void IPPort1Disconnected(QObject* sender, int statusCode, const QString& description);

private:
    void FollowReferral(const WhoisServer& server, uint64_t lookup);

    TlcIPPort& port_;
    LookupView& view_;
    AnswerText answer_{true};
    // Connected and nothing received yet: a close now is told as "no answer".
    bool awaitingAnswer_ = false;
    QString query_; // what was sent, sent again to every referral
    QString refusal_;
    ReferralSearch search_; // over the answer of the server asked last
    QStringList asked_;     // the servers asked, by WhoisServer::Key
    int referrals_ = 0;
    bool referralHop_ = false;
    bool referralPending_ = false;
    uint64_t lookup_ = 0; // counts look-ups, so that a referral of an earlier one is dropped
};
