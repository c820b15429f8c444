#pragma once
// The WHOIS look-up: one query line to TCP port 43 of the registry's WHOIS server, the answer shown
// line by line as it arrives. Shared by the WhoIs tab and `regiscribe-cli whois`.
#include "lookup/lookupview.h"

#include <QByteArrayView>
#include <QObject>
#include <QString>
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

    // bLookUp's hint, naming the server.
    static QString LookUpHint();

    // Runs one look-up (bLookUp's click).
    LookupOutcome LookUp();

    void IPPort1Connected(QObject* sender, int statusCode, const QString& description);
    void IPPort1DataIn(QObject* sender, QByteArrayView text, bool eol);
    void IPPort1Error(QObject* sender, int errorCode, const QString& description);
    // The end of the answer: bytes still waiting for the rest of a character are shown.
    void IPPort1Disconnected(QObject* sender, int statusCode, const QString& description);

private:
    TlcIPPort& port_;
    LookupView& view_;
    AnswerText answer_{true};
};
