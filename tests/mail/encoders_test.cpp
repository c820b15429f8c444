// Quoted-printable, base64 and uuencode: the line shapes the message writer relies on, and the
// decoders reading them back.
#include "mail/lineencoders.h"
#include "mail/quotedprintable.h"
#include "platform/exception.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {
QByteArrayList EncodeQp(QByteArray input) {
    QBuffer buffer(&input);
    buffer.open(QIODevice::ReadOnly);
    QByteArrayList lines;
    TQuotedPrintable(buffer, lines).Encode();
    return lines;
}

QByteArray DecodeQp(QByteArrayList lines) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    TQuotedPrintable(buffer, lines).Decode();
    return out;
}
} // namespace

TEST(QuotedPrintable, LongParagraphWithoutBlanksIsCutEvery65Characters) {
    QByteArrayList lines = EncodeQp(QByteArray(300, 'a'));
    ASSERT_EQ(lines.size(), 5);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(lines[i], QByteArray(65, 'a') + "=");
    EXPECT_EQ(lines[4], QByteArray(40, 'a'));
}

TEST(QuotedPrintable, ExactlySixtyFiveCharactersEndWithAnEmptyLine) {
    QByteArrayList lines = EncodeQp(QByteArray(65, 'b'));
    EXPECT_EQ(lines, (QByteArrayList{QByteArray(65, 'b') + "=", ""}));
}

TEST(QuotedPrintable, CutsBeforeTheLastBlankAndTheBlankOpensTheNextLine) {
    QByteArray text = QByteArray(65, 'c') + " tail";
    EXPECT_EQ(EncodeQp(text), (QByteArrayList{QByteArray(65, 'c') + "=", " tail"}));

    QByteArray words = "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu nu xi";
    QByteArrayList lines = EncodeQp(words);
    ASSERT_EQ(lines.size(), 2);
    // The blank 66 places in (before "nu") is past the piece; the one before "mu" ends it.
    EXPECT_EQ(lines[0], "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda=");
    EXPECT_EQ(lines[1], " mu nu xi");
}

TEST(QuotedPrintable, EscapesControlsEqualsHighBytesAndOnlyTheBlankThatEndsALine) {
    QByteArray text = "a=b\tc\xE9 end  ";
    EXPECT_EQ(EncodeQp(text), QByteArrayList{"a=3Db=09c=E9 end =20"});
    // A blank before a soft line break is followed by its "=": it stays.
    EXPECT_EQ(EncodeQp(QByteArray(64, 'd') + "  e\r\n" + QByteArray(64, 'f') + " "),
              (QByteArrayList{QByteArray(64, 'd') + " =", " e", QByteArray(64, 'f') + "=", "=20"}));
}

TEST(QuotedPrintable, LineEndsSeparateParagraphs) {
    EXPECT_EQ(EncodeQp("one\r\n\r\ntwo\r\n"), (QByteArrayList{"one", "", "two"}));
    // A lone LF or CR ends a paragraph too, so no raw line end reaches an output line.
    EXPECT_EQ(EncodeQp("a\nb\rc"), (QByteArrayList{"a", "b", "c"}));
}

TEST(QuotedPrintable, ParagraphLimitIs24575Bytes) {
    EXPECT_NO_THROW(EncodeQp(QByteArray(24575, 'x')));
    QByteArray input = "first\r\n" + QByteArray(24576, 'x');
    QBuffer buffer(&input);
    buffer.open(QIODevice::ReadOnly);
    QByteArrayList lines;
    try {
        TQuotedPrintable(buffer, lines).Encode();
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Paragraph is too large");
    }
    EXPECT_EQ(lines, QByteArrayList{"first"});
}

TEST(QuotedPrintable, DecodingRestoresTheEncodedText) {
    QByteArray text = QByteArray(150, 'q') + " =\tdone\xFF\r\n\r\nnext line\r\n";
    EXPECT_EQ(DecodeQp(EncodeQp(text)), text);
    // An "=" that does not start a hexadecimal escape stays; lower-case digits are accepted.
    EXPECT_EQ(DecodeQp({"x=ZZ=3d"}), "x=ZZ=\r\n");
    EXPECT_EQ(DecodeQp({QByteArray("eof\x1A")}), "eof\x1A");
}

TEST(Base64Lines, FullChunksGive76CharactersAndAMultipleOf57EndsWithAnEmptyLine) {
    QByteArray data(114, '\x7F');
    QByteArrayList lines = EncodeBase64Lines(data);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].size(), 76);
    EXPECT_EQ(lines[1].size(), 76);
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(EncodeBase64Lines("hello"), QByteArrayList{"aGVsbG8="});
    QByteArray back;
    for (const QByteArray& l : lines)
        back += DecodeBase64Line(l);
    EXPECT_EQ(back, data);
}

TEST(Base64Lines, DecoderRejectsCharactersOutsideTheAlphabet) {
    EXPECT_EQ(DecodeBase64Line("aGVs bG8="), "hello");
    try {
        DecodeBase64Line("aGV*bG8=");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid Character");
    }
}

TEST(UuLines, LengthCharacterAndEncodedCharactersFollowTheChunkSize) {
    QByteArray data(45, 'M');
    QByteArrayList full = EncodeUuLines(data);
    ASSERT_EQ(full.size(), 2);
    EXPECT_EQ(full[0].size(), 61);
    EXPECT_EQ(full[0][0], 'M'); // 32 + 45
    EXPECT_EQ(full[1], "`");    // the empty last chunk
    EXPECT_EQ(EncodeUuLine("A").size(), 1 + 2);
    EXPECT_EQ(EncodeUuLine("AB").size(), 1 + 3);
    EXPECT_EQ(EncodeUuLine("Cat"), "#0V%T");
    // A zero value is the backquote, never a blank.
    EXPECT_EQ(EncodeUuLine(QByteArray(3, '\0')), "#````");
}

TEST(UuLines, DecodingRestoresEveryByte) {
    QByteArray data;
    for (int i = 0; i < 256; ++i)
        data += char(i);
    QByteArray back;
    for (const QByteArray& line : EncodeUuLines(data))
        back += DecodeUuLine(line);
    EXPECT_EQ(back, data);
}
