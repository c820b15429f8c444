#pragma once
// The message component: one e-mail (or news article) that turns itself into the text sent after
// the SMTP DATA command, and that can be read back from such a text.
#include "mail/msmsgcls.h"
#include "platform/exception.h"

#include <QIODevice>
#include <QObject>
#include <QStringList>

REGISCRIBE_EXCEPTION(EMessageError, Exception)

enum TMsgEncoding { meMIME, meUU };
enum TCharSet { csUSASCII, csISO8859 };
enum TPriority { ptLow, ptNormal, ptHigh };

// A component owned by its window (a QObject, so that a client holding it learns of its end).
class TmsCustomMessage : public QObject {
public:
    explicit TmsCustomMessage(QObject* parent = nullptr) : QObject(parent) {}
    ~TmsCustomMessage() override = default;
    TmsCustomMessage(const TmsCustomMessage&) = delete;
    TmsCustomMessage& operator=(const TmsCustomMessage&) = delete;

    TmsMailAddress& Sender() { return sender_; }
    const TmsMailAddress& Sender() const { return sender_; }
    const QString& Subject() const { return subject_; }
    void SetSubject(const QString& subject);
    TMsgEncoding Encoding() const { return encoding_; }
    void SetEncoding(TMsgEncoding e) { encoding_ = e; }
    TCharSet CharSet() const { return charSet_; }
    void SetCharSet(TCharSet c) { charSet_ = c; }
    TmsHeaders& Headers() { return headers_; }
    const TmsHeaders& Headers() const { return headers_; }
    void SetHeaders(const TmsHeaders& headers) { headers_ = headers; }
    QStringList& Body() { return body_; }
    const QStringList& Body() const { return body_; }
    void SetBody(const QStringList& body) { body_ = body; }
    TmsAttList& Attachments() { return attachments_; }
    const TmsAttList& Attachments() const { return attachments_; }
    // Copies the list and stores "text/plain" (no attachments) or "multipart/mixed".
    void SetAttachments(const TmsAttList& list);
    // The content type by the message's content (see the rules in the implementation); the result
    // is stored.
    QString ContentType();
    // Stored in lower case, at most 255 characters.
    void SetContentType(const QString& type);

    // A plain body that must arrive as typed (a signed text, which a robot checks without
    // decoding it): see TypedBodyTransfer in msencoder.h. Off by default: the described writer.
    bool BodyAsTyped() const { return bodyAsTyped_; }
    void SetBodyAsTyped(bool on) { bodyAsTyped_ = on; }
    // Whether the way the text travels carries 8-bit lines (the server offers 8BITMIME).
    bool EightBitTransport() const { return eightBitTransport_; }
    void SetEightBitTransport(bool on) { eightBitTransport_ = on; }

    // Raises EMessageError when the message cannot be sent.
    virtual void Validate() const;
    // Writes the whole message text from the stream's start.
    virtual void EncodeToStream(QIODevice& stream) = 0;
    // Reads a message text (header block, empty line, body) into this message.
    virtual void DecodeFromStream(QIODevice& stream) = 0;
    // Empties body, attachments, sender, headers and subject; MIME, US-ASCII, empty content type.
    virtual void Clear();
    // Fills the properties from a header list, then copies the list into Headers.
    virtual void ApplyHeaders(const TmsHeaders& headers);

protected:
    void AssignCommon(const TmsCustomMessage& other);

private:
    TmsMailAddress sender_;
    QString subject_;
    TMsgEncoding encoding_ = meMIME;
    TCharSet charSet_ = csUSASCII;
    TmsHeaders headers_;
    QStringList body_;
    TmsAttList attachments_;
    QString contentType_ = QStringLiteral("text/plain");
    bool bodyAsTyped_ = false;
    bool eightBitTransport_ = false;
};

class TmsMessage : public TmsCustomMessage {
public:
    using TmsCustomMessage::TmsCustomMessage;
    TmsAddressList& Recipients() { return recipients_; }
    const TmsAddressList& Recipients() const { return recipients_; }
    void SetRecipients(const TmsAddressList& list) { recipients_ = list; }
    TmsAddressList& CC() { return cc_; }
    const TmsAddressList& CC() const { return cc_; }
    void SetCC(const TmsAddressList& list) { cc_ = list; }
    TmsAddressList& BCC() { return bcc_; }
    const TmsAddressList& BCC() const { return bcc_; }
    void SetBCC(const TmsAddressList& list) { bcc_ = list; }
    bool ReturnReceipt() const { return returnReceipt_; }
    void SetReturnReceipt(bool on) { returnReceipt_ = on; }
    TPriority Priority() const { return priority_; }
    void SetPriority(TPriority p) { priority_ = p; }

    void Assign(const TmsMessage& other);

    void Validate() const override;
    void EncodeToStream(QIODevice& stream) override;
    void DecodeFromStream(QIODevice& stream) override;
    void Clear() override;
    void ApplyHeaders(const TmsHeaders& headers) override;

private:
    TmsAddressList recipients_;
    TmsAddressList cc_;
    TmsAddressList bcc_;
    bool returnReceipt_ = false;
    TPriority priority_ = ptNormal;
};

class TmsArticle : public TmsCustomMessage {
public:
    using TmsCustomMessage::TmsCustomMessage;
    const QString& NewsGroups() const { return newsGroups_; }
    void SetNewsGroups(const QString& groups) { newsGroups_ = groups; }
    // Filled when an article is read.
    const QString& Path() const { return path_; }
    const QString& MessageId() const { return messageId_; }

    void Validate() const override;
    void EncodeToStream(QIODevice& stream) override;
    void DecodeFromStream(QIODevice& stream) override;
    void Clear() override;
    void ApplyHeaders(const TmsHeaders& headers) override;

private:
    QString newsGroups_;
    QString path_;
    QString messageId_;
};
