#include "mail/msmsg.h"

#include "mail/msdecoder.h"
#include "mail/msencoder.h"
#include "mail/shorttext.h"

#include <QFileInfo>

void TmsCustomMessage::SetSubject(const QString& subject) {
    subject_ = ShortText(subject);
}

void TmsCustomMessage::SetContentType(const QString& type) {
    contentType_ = ShortText(type).toLower();
}

void TmsCustomMessage::SetAttachments(const TmsAttList& list) {
    attachments_ = list;
    contentType_ = attachments_.Count() == 0 ? "text/plain" : "multipart/mixed";
}

QString TmsCustomMessage::ContentType() {
    const int count = attachments_.Count();
    auto baseName = [this](int i) { return attachments_.Items(i).BaseName().toLower(); };
    QString type;
    if (encoding_ == meUU) {
        type = QString();
    } else if (count > 0 && [&] {
                   for (int i = 0; i < count; ++i)
                       if (!baseName(i).startsWith("_alt.")) return false;
                   return true;
               }()) {
        type = "multipart/alternative";
    } else if (count == 1 && body_.isEmpty() && baseName(0) == "_rtfbody.rtf") {
        type = "text/rtf";
    } else if (count == 1 && body_.isEmpty() && baseName(0) == "_htmbody.htm") {
        type = "text/html";
    } else if (body_.isEmpty()) {
        type = count == 0   ? QStringLiteral("text/plain")
               : count == 1 ? attachments_.Items(0).ContentType().toLower()
                            : QStringLiteral("multipart/mixed");
    } else if (count > 0) {
        type = "multipart/mixed";
    } else {
        type = contentType_.isEmpty() ? QStringLiteral("text/plain") : contentType_;
    }
    contentType_ = type;
    return type;
}

void TmsCustomMessage::Validate() const {
    if (sender_.Address().isEmpty()) throw EMessageError("The address of sender is required");
}

void TmsCustomMessage::Clear() {
    body_.clear();
    attachments_.Clear();
    sender_.Clear();
    headers_.Clear();
    subject_.clear();
    encoding_ = meMIME;
    charSet_ = csUSASCII;
    contentType_.clear();
}

void TmsCustomMessage::ApplyHeaders(const TmsHeaders& headers) {
    const std::vector<TmsMailAddress> from = headers.FieldAddresses("FROM");
    if (!from.empty()) sender_.Assign(from.front());
    if (headers.HasField("Subject")) SetSubject(headers.FieldValue("Subject"));
    headers_ = headers;
}

void TmsCustomMessage::AssignCommon(const TmsCustomMessage& other) {
    sender_.Assign(other.sender_);
    subject_ = other.subject_;
    encoding_ = other.encoding_;
    charSet_ = other.charSet_;
    headers_ = other.headers_;
    body_ = other.body_;
    attachments_ = other.attachments_;
    bodyAsTyped_ = other.bodyAsTyped_;
    eightBitTransport_ = other.eightBitTransport_;
    contentType_ = other.contentType_;
}

// --- mail --------------------------------------------------------------------------------------

void TmsMessage::Assign(const TmsMessage& other) {
    if (this == &other) return;
    AssignCommon(other);
    recipients_ = other.recipients_;
    cc_ = other.cc_;
    bcc_ = other.bcc_;
    returnReceipt_ = other.returnReceipt_;
    priority_ = other.priority_;
}

void TmsMessage::Validate() const {
    TmsCustomMessage::Validate();
    for (const TmsAddressList* list : {&recipients_, &cc_, &bcc_})
        for (int i = 0; i < list->Count(); ++i)
            if (!list->Items(i).Address().isEmpty()) return;
    throw EMessageError("At least one Recipient, CC or BCC must be entered");
}

void TmsMessage::EncodeToStream(QIODevice& stream) {
    TmsMessageEncoder(*this, stream).Encode();
}

void TmsMessage::DecodeFromStream(QIODevice& stream) {
    DecodeMessageText(*this, stream);
}

void TmsMessage::Clear() {
    TmsCustomMessage::Clear();
    cc_.Clear();
    bcc_.Clear();
    recipients_.Clear();
}

void TmsMessage::ApplyHeaders(const TmsHeaders& headers) {
    for (const TmsMailAddress& a : headers.FieldAddresses("TO"))
        recipients_.AddAddress(a.Address(), a.Name());
    for (const TmsMailAddress& a : headers.FieldAddresses("CC"))
        cc_.AddAddress(a.Address(), a.Name());
    const QString priority = headers.FieldValue("X-Priority").trimmed();
    priority_ = priority == "1" ? ptHigh : priority == "5" ? ptLow : ptNormal;
    returnReceipt_ = headers.HasField("Return-receipt-to");
    TmsCustomMessage::ApplyHeaders(headers);
}

// --- news --------------------------------------------------------------------------------------

void TmsArticle::Validate() const {
    TmsCustomMessage::Validate();
    if (newsGroups_.isEmpty()) throw EMessageError("Newsgroup header is required");
    if (Subject().isEmpty()) throw EMessageError("Subject header is required");
}

void TmsArticle::EncodeToStream(QIODevice& stream) {
    TmsArticleEncoder(*this, stream).Encode();
}

void TmsArticle::DecodeFromStream(QIODevice& stream) {
    DecodeMessageText(*this, stream);
}

void TmsArticle::Clear() {
    TmsCustomMessage::Clear();
    newsGroups_.clear();
}

void TmsArticle::ApplyHeaders(const TmsHeaders& headers) {
    newsGroups_ = headers.FieldValue("Newsgroups");
    path_ = headers.FieldValue("Path");
    messageId_ = headers.FieldValue("Message-ID");
    TmsCustomMessage::ApplyHeaders(headers);
}
