#include "openpgp/gnupgsign.h"

#include "openpgp/gnupgtrouble.h"
#include "platform/childstart.h"
#include "platform/descriptorlines.h"

#include <QIODevice>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr qsizetype kChunk = 64 * 1024;
// Of GnuPG's diagnostics only the last lines are kept, each cut at this length.
constexpr int kDiagnosticLines = 32;
constexpr qsizetype kLineLimit = 1024;

// One end of ours and the child's end of a channel; ours does not block and is closed on exec.
struct Channel {
    int ours = -1, theirs = -1;
    bool Open(bool socket) {
        int fds[2];
        const int made = socket ? ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds)
                                : ::pipe2(fds, O_CLOEXEC);
        if (made != 0) return false;
        // A pipe's read end is ours; a socket's either end.
        ours = fds[0];
        theirs = fds[1];
        ::fcntl(ours, F_SETFL, O_NONBLOCK);
        return true;
    }
    void CloseOurs() {
        if (ours >= 0) ::close(ours);
        ours = -1;
    }
    void CloseTheirs() {
        if (theirs >= 0) ::close(theirs);
        theirs = -1;
    }
    ~Channel() {
        CloseOurs();
        CloseTheirs();
    }
};

class SigningRun {
public:
    SigningRun(QIODevice& in, QIODevice& out, const PassphraseSource& passphrase)
        : in_(in), out_(out), passphrase_(passphrase) {}

    GnupgSigning Run(const QString& signer) {
        // The text and the loopback answers go through sockets: a gpg that stops reading makes
        // our write fail, where a pipe would raise SIGPIPE.
        if (!text_.Open(true) || !signature_.Open(false) || !diagnostics_.Open(false) ||
            !status_.Open(false) || (passphrase_ && !commands_.Open(true)))
            return Gave("gpg could not be started: " + QString::fromLocal8Bit(strerror(errno)));
        QList<QByteArray> arguments{"--batch",
                                    "--no-tty",
                                    "--status-fd",
                                    "3",
                                    "--charset",
                                    "utf8",
                                    "--exit-on-status-write-error"};
        if (passphrase_) arguments += {"--pinentry-mode", "loopback", "--command-fd", "4"};
        arguments += {"--clearsign", "-u", signer.toUtf8(), "--"};
        ChildStart start{GnupgProgram,
                         arguments,
                         {{text_.theirs, STDIN_FILENO},
                          {signature_.theirs, STDOUT_FILENO},
                          {diagnostics_.theirs, STDERR_FILENO},
                          {status_.theirs, 3}},
                         false};
        if (passphrase_) start.descriptors.append({commands_.theirs, 4});
        const Result<pid_t> pid = StartChild(start);
        for (Channel* c : {&text_, &signature_, &diagnostics_, &status_, &commands_})
            c->CloseTheirs();
        if (!pid) return Gave("gpg could not be started: " + pid.Error());

        Exchange();
        if (!report_.ours.isEmpty()) ::kill(pid.Value(), SIGKILL);
        int status = 0;
        while (::waitpid(pid.Value(), &status, 0) < 0 && errno == EINTR) {
        }
        report_.trouble = GnupgTrouble(lastDiagnostics_);
        report_.made =
            report_.ours.isEmpty() && created_ && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        return report_;
    }

private:
    GnupgSigning Gave(const QString& why) {
        report_.ours = why;
        return report_;
    }

    // Feeds the text, takes the signature, and answers GnuPG, until gpg closes its output.
    void Exchange() {
        while (report_.ours.isEmpty() &&
               (signature_.ours >= 0 || diagnostics_.ours >= 0 || status_.ours >= 0)) {
            if (text_.ours >= 0 && pending_.isEmpty()) Refill();
            pollfd p[4] = {{signature_.ours, POLLIN, 0},
                           {diagnostics_.ours, POLLIN, 0},
                           {status_.ours, POLLIN, 0},
                           {text_.ours, POLLOUT, 0}};
            if (::poll(p, 4, -1) < 0) {
                if (errno == EINTR) continue;
                report_.ours = QString::fromLocal8Bit(strerror(errno));
                return;
            }
            if (p[0].revents && !ReadAvailable(signature_.ours, [this](const char* d, qsizetype n) {
                    if (out_.write(d, n) != n && report_.ours.isEmpty())
                        report_.ours = "The signature could not be written: " + out_.errorString();
                }))
                signature_.CloseOurs();
            if (p[1].revents &&
                !ReadAvailable(diagnostics_.ours, [this](const char* d, qsizetype n) {
                    Keep(diagnosticLines_.Add(d, n));
                }))
                diagnostics_.CloseOurs();
            if (p[2].revents && !ReadAvailable(status_.ours, [this](const char* d, qsizetype n) {
                    for (const QByteArray& line : statusLines_.Add(d, n))
                        OnStatus(QString::fromUtf8(line));
                }))
                status_.CloseOurs();
            if (p[3].revents) Feed();
        }
    }

    void Refill() {
        pending_.resize(kChunk);
        const qint64 n = in_.read(pending_.data(), kChunk);
        if (n < 0) report_.ours = "The text could not be read: " + in_.errorString();
        pending_.resize(std::max<qint64>(n, 0));
        if (n <= 0) text_.CloseOurs();
    }

    void Feed() {
        const ssize_t n =
            ::send(text_.ours, pending_.constData(), size_t(pending_.size()), MSG_NOSIGNAL);
        if (n > 0) pending_.remove(0, n);
        // gpg stopped reading (it will say why on its status line).
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            text_.CloseOurs();
    }

    void Keep(const QList<QByteArray>& lines) {
        for (const QByteArray& line : lines)
            lastDiagnostics_ << QString::fromUtf8(line);
        while (lastDiagnostics_.size() > kDiagnosticLines)
            lastDiagnostics_.removeFirst();
    }

    void OnStatus(const QString& line) {
        if (!line.startsWith("[GNUPG:] ")) return;
        const QStringList words = line.mid(9).split(' ');
        const QString& keyword = words.front();
        if (keyword == "SIG_CREATED") created_ = true;
        if (keyword == "INV_SGNR") report_.signerRefused = true;
        if ((keyword == "FAILURE" || keyword == "ERROR") && words.size() >= 3 && !report_.errorCode)
            report_.errorCode = words[2].toUInt() & 0xFFFF;
        if (keyword.startsWith("GET_")) Answer(words.size() > 1 ? words[1] : QString());
    }

    // GnuPG asks for the loopback passphrase; anything else, or a second asking (the first was
    // wrong, and the source would give it again), is refused by closing the channel.
    void Answer(const QString& question) {
        if (question != "passphrase.enter" || asked_ || commands_.ours < 0) {
            commands_.CloseOurs();
            return;
        }
        asked_ = true;
        Result<QByteArray> secret = passphrase_();
        if (!secret) {
            report_.ours = secret.Error();
            return;
        }
        QByteArray line = secret.Value() + "\n";
        // A short line into an empty socket: it does not block.
        ::fcntl(commands_.ours, F_SETFL, 0);
        const ssize_t n =
            ::send(commands_.ours, line.constData(), size_t(line.size()), MSG_NOSIGNAL);
        line.fill('\0');
        secret.Value().fill('\0');
        if (n != line.size()) commands_.CloseOurs();
    }

    QIODevice& in_;
    QIODevice& out_;
    const PassphraseSource& passphrase_;
    Channel text_, signature_, diagnostics_, status_, commands_;
    QByteArray pending_;
    LineSplitter diagnosticLines_{kLineLimit}, statusLines_{kLineLimit};
    QStringList lastDiagnostics_;
    bool created_ = false, asked_ = false;
    GnupgSigning report_;
};
} // namespace

GnupgSigning SignWithGnupg(QIODevice& in, QIODevice& out, const QString& signer,
                           const PassphraseSource& passphrase) {
    return SigningRun(in, out, passphrase).Run(signer);
}
