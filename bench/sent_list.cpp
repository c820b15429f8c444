// The Sent Registrations window over a long log.
//   sent_list make FOLDER BYTES   writes FOLDER/sent/sent.log of about BYTES bytes, in the
//                                 program's own line format (a signed line now and then), and a
//                                 replies.log with a verdict for every tenth registration
//   sent_list open FOLDER         chooses File > Sent Registrations... in the program's window
//                                 started in FOLDER, and prints the seconds until the rows are
//                                 listed and painted, the rows listed, the rows left after the
//                                 window is closed, and the seconds a letter typed into the
//                                 filter takes until the rows it keeps are painted
#include "app/ui/form1.h"
#include "mail/sentcopy.h"
#include "mail/ui/sentdlg.h"
#include "mail/ui/sentmodel.h"
#include "platform/messageboxes.h"
#include "replies/replylog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>
#include <cstdio>

namespace {
int Make(const QString& folder, qint64 bytes) {
    if (!QDir().mkpath(folder + "/sent")) return 1;
    QFile::setPermissions(folder + "/sent",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile log(folder + "/sent/sent.log");
    if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
    const QString kinds[] = {"domain", "host", "contact"};
    const QDateTime start = QDateTime::currentDateTime().addYears(-3);
    QByteArray text, replies;
    const ReplyStatus verdicts[] = {ReplyStatus::Received, ReplyStatus::Done, ReplyStatus::Refused,
                                    ReplyStatus::Answered};
    for (int i = 0; text.size() < bytes; ++i) {
        const QString& kind = kinds[i % 3];
        const QString name = kind == "contact" ? "Registrant Number " + QString::number(i)
                             : kind == "host"  ? "ns" + QString::number(i % 4) + ".example" +
                                                    QString::number(i) + ".net"
                             : i % 7 == 0 ? "xn--bcher-kva" + QString::number(i) + ".example"
                                          : "name" + QString::number(i) + ".example";
        SentEntry entry{start.addSecs(qint64(i) * 600),
                        kind,
                        name,
                        i % 2 ? "hostmaster@registry.test" : "auto-dbm@ripe.test",
                        "<" + QString::number(i) + ".regiscribe@host.example.test>",
                        "250 2.0.0 Ok: queued as " + QString::number(0x4ABC1 + i, 16).toUpper(),
                        i % 5 == 0 ? "0x0123456789ABCDEF (Jane Doe <jane@example.test>)"
                                   : QString()};
        text += SentLogLine(entry) + '\n';
        if (i % 10 == 0)
            replies += ReplyLogLine({entry.messageId, "<r" + QString::number(i) + "@registry.test>",
                                     entry.when.addSecs(300), verdicts[(i / 10) % 4],
                                     "NIC-" + QString::number(i),
                                     "replies/" + QString::number(i) + ".eml"}) +
                       '\n';
    }
    QFile replyLog(folder + "/sent/replies.log");
    if (!replyLog.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        replyLog.write(replies) != replies.size())
        return 1;
    return log.write(text) == text.size() ? 0 : 1;
}

int Open(const QString& folder) {
    QDir::setCurrent(folder);
    SetBoxes(std::make_shared<ScriptedBoxes>());
    TForm1 form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 1;
    auto* item = form.findChild<QAction*>("SentRegistrations1");
    if (!item) return 1;
    QElapsedTimer clock;
    clock.start();
    item->trigger();
    auto* dialog = form.findChild<TSentDlg*>("SentDlg");
    if (!dialog || !QTest::qWaitForWindowExposed(dialog)) return 1;
    QCoreApplication::processEvents();
    dialog->SentList->viewport()->repaint();
    const double seconds = clock.nsecsElapsed() / 1e9;
    const int rows = dialog->SentList->model()->rowCount();
    clock.restart();
    QTest::keyClicks(dialog->FilterEdit, "x");
    dialog->SentList->viewport()->repaint();
    const double filtered = clock.nsecsElapsed() / 1e9;
    dialog->close();
    std::printf("%.4f %d %d %.4f\n", seconds, rows, dialog->Model->rowCount(), filtered);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? argv[1] : "";
    if (mode == "make" && argc == 4) return Make(argv[2], QString(argv[3]).toLongLong());
    if (mode == "open" && argc == 3) return Open(argv[2]);
    std::fprintf(stderr, "usage: sent_list make FOLDER BYTES | sent_list open FOLDER\n");
    return 2;
}
