#include "support/testdovecot.h"

#include "support/childprocess.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {
// The unprivileged user Dovecot runs as when the tests run as root.
constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

// A loopback port that was free a moment ago. Dovecot takes its ports from its configuration
// only, so a start that finds one taken meanwhile is retried with new ports.
quint16 FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    quint16 port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

bool Accepts(quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

QString Config(const QString& dir, quint16 tlsPort, quint16 plainPort, bool withTls, bool root) {
    const QString user = root ? "nobody" : QString::fromLocal8Bit(qgetenv("USER"));
    const QString group = root ? "nogroup" : user;
    QString c = "base_dir = " + dir + "/run\nstate_dir = " + dir +
                "/state\n"
                "instance_name = regiscribe-test-" +
                QString::number(tlsPort) +
                "\n"
                "log_path = " +
                dir +
                "/dovecot.log\n"
                "default_internal_user = " +
                user + "\ndefault_internal_group = " + group + "\ndefault_login_user = " + user +
                "\n"
                "protocols = imap\nlisten = 127.0.0.1\nfirst_valid_uid = 0\n"
                "auth_mechanisms = plain login\nauth_verbose = yes\n"
                "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN " +
                dir +
                "/passwd\n}\n"
                "userdb {\n  driver = static\n  args = uid=" +
                user + " gid=" + group + " home=" + dir +
                "/home/%u\n}\n"
                "mail_location = maildir:~/Maildir\n"
                "service anvil {\n  chroot =\n}\n"
                "service imap-login {\n  chroot =\n"
                "  inet_listener imap {\n    port = " +
                QString::number(plainPort) + "\n  }\n";
    if (withTls)
        c += "  inet_listener imaps {\n    port = " + QString::number(tlsPort) +
             "\n    ssl = yes\n  }\n";
    c += "}\nprotocol imap {\n  rawlog_dir = " + dir + "/rawlog\n}\n";
    if (withTls)
        c += "ssl = yes\nssl_cert = <" + dir + "/server.pem\nssl_key = <" + dir +
             "/server.key\nssl_min_protocol = TLSv1.2\n";
    else
        c += "ssl = no\n";
    return c;
}
} // namespace

TestDovecot::TestDovecot(bool withTls) {
    if (!certificates_.Made()) {
        problem_ = "no test certificates: " + certificates_.Problem();
        return;
    }
    for (int attempt = 0; attempt < 5; ++attempt)
        if (Start(withTls)) return;
}

bool TestDovecot::Start(bool withTls) {
    const bool root = ::geteuid() == 0;
    const QString dir = dir_.path();
    for (const char* sub : {"run", "state", "rawlog", "home/jane/Maildir/new",
                            "home/jane/Maildir/cur", "home/jane/Maildir/tmp"})
        QDir().mkpath(dir + "/" + sub);
    QFile::remove(dir + "/server.pem");
    QFile::remove(dir + "/server.key");
    QFile::copy(certificates_.Cert("server"), dir + "/server.pem");
    QFile::copy(certificates_.Key("server"), dir + "/server.key");
    WriteAll(dir + "/passwd", QByteArray(User) + ":{PLAIN}" + Password + "\n");
    tlsPort_ = FreePort();
    plainPort_ = FreePort();
    WriteAll(dir + "/dovecot.conf", Config(dir, tlsPort_, plainPort_, withTls, root).toUtf8());
    WriteAll(dir + "/dovecot.log", QByteArray());
    Own(dir);

    const QStringList dovecot{"dovecot", "-F", "-c", dir + "/dovecot.conf"};
    dovecot_ = std::make_unique<ChildProcess>();
    dovecot_->SetError(ChildProcess::Channel::IntoOutput);
    const bool started =
        root ? dovecot_->Start("setpriv",
                               QStringList{"--reuid=65534", "--regid=65534", "--clear-groups"} +
                                   dovecot)
             : dovecot_->Start(dovecot.front(), dovecot.mid(1));
    if (!started) {
        problem_ = "Dovecot could not be started: " + dovecot_->Problem();
        return false;
    }
    for (int tries = 0; tries < 500; ++tries) {
        if (!dovecot_->Running()) break;
        if (Accepts(plainPort_) && (!withTls || Accepts(tlsPort_))) {
            problem_.clear();
            return true;
        }
        QThread::msleep(20);
    }
    Stop();
    dovecot_->WaitForFinished(0); // what it said before it ended
    problem_ = "Dovecot did not start: " + Log() + QString::fromUtf8(dovecot_->TakeOutput());
    return false;
}

void TestDovecot::Stop() {
    if (!dovecot_ || !dovecot_->Running()) return;
    dovecot_->Terminate();
    if (!dovecot_->WaitForFinished(10000)) dovecot_->Kill();
    dovecot_->WaitForFinished(10000);
}

TestDovecot::~TestDovecot() {
    Stop();
}

void TestDovecot::Own(const QString& path) const {
    if (::geteuid() != 0) return;
    if (::lchown(QFile::encodeName(path).constData(), kNobody, kNogroup) != 0) return;
    if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
        for (const QString& name : QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                        QDir::Hidden | QDir::System))
            Own(path + "/" + name);
}

void TestDovecot::Deliver(const QByteArray& message, const QDateTime& arrived,
                          const QString& flags) {
    const int n = ++delivered_;
    const QString unique = QString("%1.M%2P%3.regiscribe-test,S=%4")
                               .arg(arrived.toSecsSinceEpoch())
                               .arg(n)
                               .arg(::getpid())
                               .arg(message.size());
    const QString path = flags.isEmpty() ? MaildirPath() + "/new/" + unique
                                         : MaildirPath() + "/cur/" + unique + ":2," + flags;
    WriteAll(path, message);
    const timeval times[2] = {{time_t(arrived.toSecsSinceEpoch()), 0},
                              {time_t(arrived.toSecsSinceEpoch()), 0}};
    ::utimes(QFile::encodeName(path).constData(), times);
    if (::geteuid() == 0) (void)!::chown(QFile::encodeName(path).constData(), kNobody, kNogroup);
}

QStringList TestDovecot::RawCommands() const {
    const QDir rawlog(dir_.filePath("rawlog"));
    QStringList commands;
    // A session's log is complete once its LOGOUT is in it.
    for (int tries = 0; tries < 100; ++tries) {
        commands.clear();
        bool complete = true;
        for (const QString& name : rawlog.entryList({"*.in"}, QDir::Files, QDir::Name)) {
            QStringList session;
            for (const QByteArray& line : ReadAll(rawlog.filePath(name)).split('\n'))
                if (!line.trimmed().isEmpty())
                    session << QString::fromUtf8(line.trimmed()).section(' ', 1);
            complete = complete && !session.isEmpty() &&
                       session.back().section(' ', 1, 1).toUpper() == "LOGOUT";
            commands += session;
        }
        if (complete) break;
        QThread::msleep(20);
    }
    return commands;
}

QString TestDovecot::Log() const {
    return QString::fromUtf8(ReadAll(dir_.filePath("dovecot.log")));
}

QString TestDovecot::LogOnceItHolds(const QString& text, int count) const {
    QString log = Log();
    for (int tries = 0; tries < 500 && log.split('\n').filter(text).size() < count; ++tries) {
        QThread::msleep(20);
        log = Log();
    }
    return log;
}
