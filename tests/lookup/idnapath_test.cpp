// International names through the path a user takes: every case of Unicode's conformance file
// (IdnaTestV2, UTS #46 version 15.1) typed into `regiscribe-cli whois` against a local WHOIS
// server that echoes what arrived. A case the file marks as an error is right only when nothing
// reached the server.
#include "support/childprocess.h"
#include "support/loopbackpeer.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {
// The file's escapes: \uXXXX and \x{XXXX}.
QString Unescaped(const QString& field) {
    static const QRegularExpression escape(R"(\\u([0-9A-Fa-f]{4})|\\x\{([0-9A-Fa-f]+)\})");
    QString out;
    qsizetype at = 0;
    for (auto it = escape.globalMatch(field); it.hasNext();) {
        const auto m = it.next();
        out += field.mid(at, m.capturedStart() - at);
        const char32_t code =
            (m.captured(1).isEmpty() ? m.captured(2) : m.captured(1)).toUInt(nullptr, 16);
        out += QString::fromUcs4(&code, 1);
        at = m.capturedEnd();
    }
    return out + field.mid(at);
}

struct ConformanceCase {
    QString source;
    QString ascii; // the non-transitional ASCII form
    bool error;    // the file gives a status: nothing may be sent
};

std::vector<ConformanceCase> ReadConformanceFile() {
    QFile file(QString(TESTS_SOURCE_DIR) + "/samples/idna/IdnaTestV2-15.1.0.txt");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    std::vector<ConformanceCase> cases;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).section('#', 0, 0).trimmed();
        if (line.isEmpty()) continue;
        QStringList f = line.split(';');
        if (f.size() < 7) continue;
        for (QString& field : f)
            field = Unescaped(field.trimmed());
        const QString toUnicode = f[1].isEmpty() ? f[0] : f[1];
        const QString status = f[4].isEmpty() ? f[2] : f[4];
        cases.push_back({f[0], f[3].isEmpty() ? toUnicode : f[3], status != "" && status != "[]"});
    }
    return cases;
}

// What the server received for one run, read from its echo; nothing when no answer came.
std::optional<QByteArray> Received(const QByteArray& out) {
    const qsizetype at = out.indexOf("query ");
    if (at < 0) return std::nullopt;
    const qsizetype end = out.indexOf('\n', at);
    return QByteArray::fromHex(out.mid(at + 6, end - at - 6).trimmed());
}
} // namespace

TEST(InternationalNamesTyped, NinetyFivePercentOfUnicodesCasesAreSentRightOrNotAtAll) {
    const std::vector<ConformanceCase> cases = ReadConformanceFile();
    ASSERT_GT(cases.size(), 6000u);
    ScriptedPeer server({ReadQuery(), EchoQuery()}, int(cases.size()));
    const QString at = "127.0.0.1:" + QString::number(server.port());

    // Several runs at a time: each waits mostly for its process to start and its answer.
    constexpr size_t Parallel = 6;
    size_t right = 0, answered = 0, errors = 0, errorsRight = 0;
    QStringList wrong;
    auto judge = [&](const ConformanceCase& c, const QByteArray& out) {
        const std::optional<QByteArray> sent = Received(out);
        answered += sent.has_value();
        const bool ok = c.error ? !sent : sent == (c.ascii + "\r\n").toUtf8();
        right += ok;
        errors += c.error;
        errorsRight += c.error && ok;
        if (!ok && wrong.size() < 25)
            wrong << c.source + " -> " +
                         (sent ? QString::fromUtf8(sent->trimmed()) : QString("(nothing)")) +
                         (c.error ? QString(", an error") : ", expected " + c.ascii);
    };
    std::vector<std::pair<size_t, std::unique_ptr<ChildProcess>>> running;
    for (size_t next = 0; next < cases.size() || !running.empty();) {
        while (running.size() < Parallel && next < cases.size()) {
            auto run = std::make_unique<ChildProcess>();
            ASSERT_TRUE(
                run->Start(REGISCRIBE_CLI, {"whois", "--server", at, "--", cases[next].source}))
                << run->Problem().toStdString();
            run->CloseInput();
            running.emplace_back(next++, std::move(run));
        }
        std::vector<ChildProcess*> children;
        for (const auto& r : running)
            children.push_back(r.second.get());
        const int ended = ChildProcess::WaitForAny(children, 30000);
        ASSERT_GE(ended, 0) << "a run did not end";
        judge(cases[running[size_t(ended)].first], running[size_t(ended)].second->TakeOutput());
        running.erase(running.begin() + ended);
    }
    // Every query that reached the server was answered: no run sent without being counted.
    EXPECT_EQ(size_t(server.Queries().size()), answered);
    const double share = 100.0 * double(right) / double(cases.size());
    RecordProperty("right_percent", QString::number(share, 'f', 1).toStdString());
    std::printf(
        "IdnaTestV2 through whois: %zu of %zu right (%.1f %%); %zu of %zu errors not sent\n", right,
        cases.size(), share, errorsRight, errors);
    EXPECT_GE(share, 95.0) << "some wrong ones:\n" << wrong.join('\n').toStdString();
}
