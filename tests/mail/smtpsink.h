#pragma once
// Debian's aiosmtpd, started by a test on a free loopback port (tests/mail/smtp_sink.py), writing
// every message it receives into a folder. Stopped and removed with its owner.
#include <QByteArray>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdint>

class SmtpSink {
public:
    SmtpSink();
    ~SmtpSink();

    bool Started() const { return port_ != 0; }
    uint16_t Port() const { return port_; }
    // Messages received so far.
    int Count() const;
    // The text of message n (1-based) as it arrived, and its envelope lines (sender, recipients).
    QByteArray Text(int n) const;
    QByteArray Envelope(int n) const;
    // Waits (at most `timeoutMs`) until `count` messages have arrived.
    bool WaitForCount(int count, int timeoutMs = 10000) const;

private:
    QTemporaryDir folder_;
    QProcess process_;
    uint16_t port_ = 0;
};
