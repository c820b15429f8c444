#pragma once
// The Finger look-up: a user name (or nothing) to TCP port 79 of a host, the answer appended line
// by line below what earlier look-ups left. Shared by the Finger tab and `regiscribe-cli finger`.
#include "lookup/lookupview.h"

#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <cstdint>

class TlcIPPort;

class FingerLookup {
public:
    // Takes over the port's OnConnected, OnDataIn and OnError.
    FingerLookup(TlcIPPort& port, LookupView& view);

    uint16_t Port = 79;
    int ConnectionWaitMs = 15000;

    // The user and host of the last request.
    QString FingerUser;
    QString FingerHost;

    // Runs one look-up (fingerlookup's click) for the query field's "user@host" or "host".
    LookupOutcome LookUp();
    // Fingers the user of the selected answer line at the last host.
    void lResponseDblClick();
    // Turns "user@host" into "host" and fingers it.
    void tHostDblClick();

    void IPPort2Connected(QObject* sender, int statusCode, const QString& description);
    void IPPort2DataIn(QObject* sender, QByteArrayView text, bool eol);
    void IPPort2Error(QObject* sender, int errorCode, const QString& description);
    // The end of the answer: bytes still waiting for the rest of a character are shown.
    void IPPort2Disconnected(QObject* sender, int statusCode, const QString& description);

private:
    TlcIPPort& port_;
    LookupView& view_;
    AnswerText answer_{false};
    // Connected and nothing received yet: a close now is told as "no answer".
    bool awaitingAnswer_ = false;
};

// At most `count` characters of `text`, never cutting a character in two.
QString LeftChars(const QString& text, int count);
