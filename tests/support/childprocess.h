#pragma once
// One child program of a test, started with posix_spawn: the test programs also run under
// ThreadSanitizer, whose runtime cannot follow the way the toolkit's process class starts
// children. Standard input, output and error are pipes (or the null device, or ours); every wait
// sleeps in poll until the child writes, reads or ends, or the deadline passes.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <sys/types.h>
#include <utility>
#include <vector>

class ChildProcess {
public:
    // Where the child's standard output or error goes.
    enum class Channel {
        Pipe,       // kept here (Output(), Error())
        Null,       // the null device
        Inherit,    // ours
        IntoOutput, // standard error only: into the output pipe
    };

    ChildProcess() = default;
    // A child still running is killed and reaped.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void SetWorkingDirectory(const QString& dir) { workDir_ = dir; }
    // Our environment with `name` set to `value` in the child's.
    void SetVariable(const QString& name, const QString& value);
    // Our environment with these "NAME=VALUE" entries set in the child's.
    void SetVariables(const QStringList& entries);
    void SetOutput(Channel channel) { outChannel_ = channel; }
    void SetError(Channel channel) { errChannel_ = channel; }

    // Starts `program` (looked up in PATH when it names no folder); false with Problem() when it
    // could not be started.
    bool Start(const QString& program, const QStringList& args);
    const QString& Problem() const { return problem_; }
    pid_t Pid() const { return pid_; }

    // Writes all of `data` to standard input, reading the child's output meanwhile; false when
    // the child stopped reading or `timeoutMs` passed.
    bool Write(const QByteArray& data, int timeoutMs = 30000);
    void CloseInput();

    // Waits until the output pipe holds `text` (or it is closed, or the time is up); whether it
    // holds it.
    bool WaitForOutput(const QByteArray& text, int timeoutMs);
    // Waits until the child ended and its pipes are closed; false when the time ran out.
    bool WaitForFinished(int timeoutMs);
    // Whether the child still runs (reaps it once it ended).
    bool Running();
    // Waits until one of `children` ended (reading their pipes meanwhile); its index, or -1 when
    // `timeoutMs` passed first.
    static int WaitForAny(const std::vector<ChildProcess*>& children, int timeoutMs);

    void Terminate(); // SIGTERM
    void Kill();      // SIGKILL

    // Takes what the child wrote so far.
    QByteArray TakeOutput() { return std::exchange(out_, {}); }
    QByteArray TakeError() { return std::exchange(err_, {}); }
    const QByteArray& Output() const { return out_; }
    // The exit code once it ended normally, else -1 (running, or killed by a signal).
    int ExitCode() const { return exitCode_; }
    // Whether a signal ended it.
    bool Crashed() const { return signalled_; }

private:
    // One round of waiting: reads what the pipes hold, notes the end of the child; writes from
    // `pending` when given. False when `deadlineMs` (a CLOCK_MONOTONIC time) has passed.
    bool Step(qint64 deadlineMs, QByteArray* pending = nullptr);
    bool Reap(bool block);
    void CloseFd(int& fd);

    QString workDir_;
    std::vector<std::pair<QString, QString>> variables_;
    Channel outChannel_ = Channel::Pipe, errChannel_ = Channel::Pipe;
    QString problem_;
    pid_t pid_ = 0;
    int pidfd_ = -1, in_ = -1, outFd_ = -1, errFd_ = -1;
    bool ended_ = false, signalled_ = false;
    int exitCode_ = -1;
    QByteArray out_, err_;
};
