// International names against Unicode's own conformance file (IdnaTestV2, UTS #46 version 15.1):
// every case through the function that makes the A-label, non-transitional, every status a
// refusal.
#include "platform/idna.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {
// The file's escapes: \uXXXX and \x{XXXX}.
QString Unescaped(const QString& field) {
    static const QRegularExpression escape(R"(\\u([0-9A-Fa-f]{4})|\\x\{([0-9A-Fa-f]+)\})");
    QString out;
    qsizetype at = 0;
    for (auto it = escape.globalMatch(field); it.hasNext();) {
        const auto m = it.next();
        out += field.mid(at, m.capturedStart() - at);
        const uint code =
            (m.captured(1).isEmpty() ? m.captured(2) : m.captured(1)).toUInt(nullptr, 16);
        out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        at = m.capturedEnd();
    }
    return out + field.mid(at);
}
} // namespace

TEST(Idna, AtLeastNinetyFivePercentOfUnicodesConformanceCasesComeOutRight) {
    QFile file(QString(TESTS_SOURCE_DIR) + "/samples/idna/IdnaTestV2-15.1.0.txt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    int cases = 0, right = 0, refusedRight = 0, refusals = 0;
    QStringList wrong;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).section('#', 0, 0).trimmed();
        if (line.isEmpty()) continue;
        QStringList f = line.split(';');
        for (QString& field : f)
            field = Unescaped(field.trimmed());
        if (f.size() < 7) continue;
        const QString source = f[0];
        const QString toUnicode = f[1].isEmpty() ? source : f[1];
        const QString asciiN = f[3].isEmpty() ? toUnicode : f[3];
        const QString statusN = f[4].isEmpty() ? f[2] : f[4];
        const bool refuse = !statusN.isEmpty() && statusN != "[]";
        ++cases;
        const std::optional<QString> label = ToALabel(source);
        const bool ok = refuse ? !label.has_value() : label && *label == asciiN;
        refusals += refuse;
        refusedRight += refuse && ok;
        if (ok)
            ++right;
        else if (wrong.size() < 20)
            wrong << source + " -> " + label.value_or("(refused)") + ", expected " +
                         (refuse ? statusN : asciiN);
    }
    ASSERT_GT(cases, 6000);
    const double share = 100.0 * right / cases;
    RecordProperty("right_percent", QString::number(share, 'f', 1).toStdString());
    EXPECT_GE(share, 95.0) << right << " of " << cases << "; some wrong ones:\n"
                           << wrong.join('\n').toStdString();
    // Refusing is what matters most: a name the standard refuses is never sent.
    EXPECT_GE(100.0 * refusedRight / refusals, 95.0) << refusedRight << " of " << refusals;
    std::printf("IdnaTestV2: %d of %d right (%.1f %%), %d of %d refusals\n", right, cases, share,
                refusedRight, refusals);
}
