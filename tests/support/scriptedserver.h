#pragma once
// A loopback SMTP-like server for tests, answering each client line by a script. It runs on its
// own thread with blocking sockets and bounded polls, records what it sees, and stops with its
// owner. Every wait in it has a limit, so no test can hang on it.
#include <QByteArray>
#include <QByteArrayList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

struct ServerReply {
    enum Kind { Text, Silent, Close, Reset };
    Kind kind = Text;
    QByteArray text; // lines without their CR LF, joined by "\n"
    int pauseMs = 0; // pause between the lines of a multi-line reply
    bool closeAfter = false;
    bool raw = false; // text goes out exactly as given, no line ends added

    static ServerReply Say(QByteArray lines, int pauseMs = 0) {
        return {Text, std::move(lines), pauseMs, false};
    }
    static ServerReply SayAndClose(QByteArray lines) { return {Text, std::move(lines), 0, true}; }
    static ServerReply RawAndClose(QByteArray bytes) {
        ServerReply r{Text, std::move(bytes), 0, true};
        r.raw = true;
        return r;
    }
    static ServerReply Nothing() { return {Silent, {}, 0, false}; }
    static ServerReply Hangup() { return {Close, {}, 0, false}; }
    static ServerReply ResetConnection() { return {Reset, {}, 0, false}; }
};

class ScriptedServer {
public:
    // Answers a command line (without CR LF); after DATA the message text ends with the line "."
    // and the answer to it is asked for with the command ".". Unset: the usual SMTP answers.
    using Script = std::function<ServerReply(const QByteArray& command)>;

    explicit ScriptedServer(Script script = {},
                            ServerReply greeting = ServerReply::Say("220 test"));
    ~ScriptedServer();

    uint16_t Port() const { return port_; }
    // The command lines received so far, over all connections, in order.
    QByteArrayList Commands() const;
    // Lines that arrived while a multi-line reply was still going out.
    QByteArrayList EarlyLines() const;
    // The raw text of the last message received after DATA, up to and without the final ".".
    QByteArray Data() const;
    // All raw bytes received on the connections.
    QByteArray Raw() const;
    int Connections() const { return connections_; }
    int OpenConnections() const { return open_; }

    // The answers a plain server gives.
    static ServerReply Usual(const QByteArray& command);

private:
    void Run();
    void Serve(int fd);
    bool SendReply(int fd, const ServerReply& reply, QByteArray& pending);
    // Reads more bytes into `pending`; false when the peer closed, failed or the server stops.
    bool ReadMore(int fd, QByteArray& pending, int timeoutMs);

    Script script_;
    ServerReply greeting_;
    int listener_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::atomic<int> open_{0};
    mutable std::mutex mutex_;
    QByteArrayList commands_;
    QByteArrayList early_;
    QByteArray data_;
    QByteArray raw_;
};
