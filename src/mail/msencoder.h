#pragma once
// Turns a message into its wire text: the header block, an empty line and the body in the
// writer its content type calls for. One encoder serves one encoding run.
#include "mail/msmsg.h"

#include <QByteArray>
#include <QIODevice>

class TmsCustomEncoder {
public:
    TmsCustomEncoder(TmsCustomMessage& message, QIODevice& stream);
    virtual ~TmsCustomEncoder() = default;

    // Writes the whole text from the stream's start.
    void Encode();
    // True when a body line is 256 characters or longer (the plain body then goes out
    // quoted-printable).
    bool LongLines() const { return longLines_; }

    // Writes one line of the text. A CR, LF or CR LF inside it breaks it into several lines; every
    // line that begins with "." gets one more in front and every line ends in CR LF, so nothing
    // inside the text can end the DATA transmission early.
    void WriteLine(const QByteArray& line);
    void WriteLine(const QString& line) { WriteLine(line.toUtf8()); }

protected:
    // The message's own header fields.
    virtual void WriteHeaders() = 0;
    // The standard fields that the message writes itself, removed from its extra lines first;
    // then the remaining extra lines, the subject and the MIME label.
    void WriteCommonTail();
    // One address of a From, To or CC field: `start` + name + " <" + address + `end`, the name
    // quoted as QuotedDisplayName says when it is ASCII, as folded encoded-words otherwise.
    void WriteAddressLine(const QString& start, const TmsMailAddress& address, const QString& end);

    TmsCustomMessage& message_;

private:
    void WriteUuMessage();
    void WritePlainText();
    void WriteFormattedBody();
    void WriteSingleAttachment(const TmsAttItem& item, bool plainPartHeaders);
    void WriteAttachmentBytes(const TmsAttItem& item);
    void WriteMultipart(bool alternativeMode);
    void WriteQuotedPrintable(const QByteArray& bytes);
    QByteArray BodyBytes() const;
    bool BodyIsAscii() const;

    QIODevice& stream_;
    QByteArray pending_;
    bool longLines_ = false;
};

class TmsMessageEncoder : public TmsCustomEncoder {
public:
    TmsMessageEncoder(TmsMessage& message, QIODevice& stream)
        : TmsCustomEncoder(message, stream), mail_(message) {}

protected:
    void WriteHeaders() override;

private:
    void WriteAddressBlock(const QString& field, const TmsAddressList& list);
    TmsMessage& mail_;
};

class TmsArticleEncoder : public TmsCustomEncoder {
public:
    TmsArticleEncoder(TmsArticle& article, QIODevice& stream)
        : TmsCustomEncoder(article, stream), article_(article) {}

protected:
    void WriteHeaders() override;

private:
    TmsArticle& article_;
};

// An ASCII display name as the From, To and CC lines write it: as it is when it is a sequence of
// RFC 5322 atoms one blank apart, else between double quotes with a backslash before each double
// quote and backslash, so that a reader shows exactly the name ("Roe, Jane" stays one mailbox).
QString QuotedDisplayName(const QString& name);

enum class BodyTransfer { SevenBit, EightBit, QuotedPrintable };
// How a plain body that must arrive as typed (BodyAsTyped) goes: as it is, 7bit when it is ASCII
// and 8bit (labelled UTF-8) when it is not and `eightBitTransport`, while every line fits in 998
// bytes; otherwise, and for the iso-8859-1 character set, quoted-printable as described.
BodyTransfer TypedBodyTransfer(const TmsCustomMessage& message, bool eightBitTransport);
