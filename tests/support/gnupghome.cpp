#include "support/gnupghome.h"

#include "support/childprocess.h"
#include "support/process.h"
#include "support/tempdir.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <sys/types.h>

namespace {
// A pinentry that speaks just enough of its protocol: it answers GETPIN with the text in the
// file "pinentry-answer" beside it, or with a cancel when that text is "cancel".
const char kPinentry[] = R"(#!/bin/sh
answer_file="$(dirname "$0")/pinentry-answer"
echo "OK Pleased to meet you"
while read -r command rest; do
    case "$command" in
    GETPIN)
        answer=$(cat "$answer_file" 2>/dev/null)
        if [ "$answer" = cancel ] || [ -z "$answer" ]; then
            echo "ERR 83886179 Operation cancelled <Pinentry>"
        else
            echo "D $answer"
            echo "OK"
        fi ;;
    BYE) echo "OK closing connection"; exit 0 ;;
    *) echo "OK" ;;
    esac
done
)";
} // namespace

TestGnupgHome::TestGnupgHome() {
    hadPrevious_ = qEnvironmentVariableIsSet("GNUPGHOME");
    previous_ = qgetenv("GNUPGHOME");
    if (!dir_.isValid()) return;
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString pinentry = dir_.filePath("pinentry.sh");
    QFile script(pinentry);
    if (!script.open(QIODevice::WriteOnly)) return;
    script.write(kPinentry);
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile conf(dir_.filePath("gpg-agent.conf"));
    if (!conf.open(QIODevice::WriteOnly)) return;
    conf.write("default-cache-ttl 0\nmax-cache-ttl 0\nallow-loopback-pinentry\npinentry-program " +
               pinentry.toUtf8() + "\n");
    conf.close();
    qputenv("GNUPGHOME", dir_.path().toUtf8());
    ready_ = true;
}

TestGnupgHome::~TestGnupgHome() {
    StopAgent();
    if (hadPrevious_)
        qputenv("GNUPGHOME", previous_);
    else
        qunsetenv("GNUPGHOME");
}

QString TestGnupgHome::Gpg(const QStringList& args, const QByteArray& input) const {
    ChildProcess gpg;
    gpg.SetVariable("GNUPGHOME", dir_.path());
    gpg.SetError(ChildProcess::Channel::IntoOutput);
    if (!gpg.Start("gpg", QStringList{"--batch", "--no-tty"} + args)) return QString();
    gpg.Write(input, 60000);
    gpg.CloseInput();
    if (!gpg.WaitForFinished(60000)) gpg.Kill();
    return QString::fromUtf8(gpg.TakeOutput());
}

QString TestGnupgHome::MakeKey(const QString& userId, const QString& passphrase, bool expired) {
    QStringList args{"--pinentry-mode", "loopback", "--passphrase", passphrase};
    if (expired)
        args << "--faked-system-time"
             << "20200101T000000";
    args << "--quick-gen-key" << userId << "ed25519"
         << "sign" << (expired ? "1d" : "never");
    Gpg(args);
    return Fingerprint(userId);
}

QString TestGnupgHome::MakeKeyAt(const QString& userId, const QString& when,
                                 const QString& expiry) {
    Gpg({"--pinentry-mode", "loopback", "--passphrase", "", "--faked-system-time", when,
         "--quick-gen-key", userId, "ed25519", "sign", expiry});
    return Fingerprint(userId);
}

QString TestGnupgHome::Fingerprint(const QString& userId) const {
    const QString listing = Gpg({"--with-colons", "--list-keys", "=" + userId});
    for (const QString& line : listing.split('\n'))
        if (line.startsWith("fpr:")) return line.section(':', 9, 9);
    return QString();
}

QString TestGnupgHome::MakeCardKey(const QString& userId) {
    const QString fingerprint = MakeKey(userId);
    QString grip;
    for (const QString& line :
         Gpg({"--with-colons", "--with-keygrip", "--list-secret-keys", fingerprint}).split('\n'))
        if (line.startsWith("grp:")) grip = line.section(':', 9, 9);
    const QString keyFile = Path() + "/private-keys-v1.d/" + grip + ".key";
    QByteArray key = ReadAll(keyFile);
    key.replace('\n', "").replace(' ', "");
    const QRegularExpressionMatch q = QRegularExpression("\\(q#([0-9A-F]+)#\\)").match(key);
    if (grip.isEmpty() || !q.hasMatch()) return QString();
    WriteAll(keyFile, "Key: (shadowed-private-key (ecc (curve Ed25519)(flags eddsa)(q #" +
                          q.captured(1).toLatin1() +
                          "#)(shadowed t1-v1 (#D2760001240103040006123456780000# OPENPGP.1))))\n");
    return fingerprint;
}

QString TestGnupgHome::MakeStubKey(const QString& userId) {
    const QString fingerprint = MakeKey(userId);
    const QStringList loopback{"--pinentry-mode", "loopback", "--passphrase", ""};
    const QString exported = Path() + "/stub.gpg";
    Gpg(loopback + QStringList{"--quick-add-key", fingerprint, "cv25519", "encr", "never"});
    Gpg(loopback + QStringList{"--output", exported, "--export-secret-subkeys", fingerprint});
    Gpg({"--yes", "--delete-secret-keys", fingerprint});
    Gpg(loopback + QStringList{"--import", exported});
    QFile::remove(exported);
    return fingerprint;
}

QString TestGnupgHome::MakeTwinKey(const QString& userId) {
    const QString fingerprint = MakeKey(userId);
    const QString exported = Path() + "/twin.pub", second = Path() + "/second.kbx";
    Gpg({"--output", exported, "--export", fingerprint});
    Gpg({"--no-default-keyring", "--keyring", second, "--import", exported});
    QFile conf(Path() + "/gpg.conf");
    if (conf.open(QIODevice::Append)) conf.write("keyring " + second.toUtf8() + "\n");
    return fingerprint;
}

void TestGnupgHome::BreakAgent(bool broken) {
    const QString conf = Path() + "/gpg.conf";
    QByteArray text = ReadAll(conf);
    const QByteArray line = "agent-program /nonexistent/gpg-agent\n";
    text.replace(line, "");
    if (broken) {
        StopAgent();
        text += line;
    }
    WriteAll(conf, text);
}

void TestGnupgHome::SetPinentryAnswer(const QString& answer) {
    QFile file(dir_.filePath("pinentry-answer"));
    if (file.open(QIODevice::WriteOnly)) file.write(answer.toUtf8() + "\n");
}

void TestGnupgHome::StopAgent() {
    ChildProcess ask;
    ask.SetVariable("GNUPGHOME", dir_.path());
    if (!ask.Start("gpg-connect-agent", {"--no-autostart", "getinfo pid", "/bye"}) ||
        !ask.WaitForFinished(10000))
        return;
    for (const QByteArray& line : ask.TakeOutput().split('\n'))
        if (line.startsWith("D ")) {
            const pid_t pid = pid_t(line.mid(2).trimmed().toLongLong());
            if (pid <= 0 || ::kill(pid, SIGTERM) != 0) continue;
            // Gone before the folder is removed: the agent takes its sockets with it.
            QDeadlineTimer deadline(5000);
            while (::kill(pid, 0) == 0 && !deadline.hasExpired() &&
                   !ReadAll("/proc/" + QString::number(pid) + "/stat").contains(") Z "))
                QThread::msleep(10);
        }
}
