#include "mail/msmsgcls.h"

#include "mail/shorttext.h"
#include "platform/fileerror.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

// --- addresses ---------------------------------------------------------------------------------

TmsMailAddress::TmsMailAddress(const QString& address, const QString& name) {
    SetAddress(address);
    SetName(name);
}

void TmsMailAddress::SetName(const QString& name) {
    name_ = ShortText(name);
}

void TmsMailAddress::SetAddress(const QString& address) {
    address_ = ShortText(address);
}

void TmsMailAddress::Assign(const TmsMailAddress& other) {
    name_ = other.name_;
    address_ = other.address_;
}

void TmsMailAddress::Clear() {
    name_.clear();
    address_.clear();
}

namespace {
QString TrimBlanksAndQuotes(QString text) {
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"'))
        text = text.mid(1, text.size() - 2).trimmed();
    return text;
}
} // namespace

TmsMailAddress ParseMailAddress(const QString& text) {
    qsizetype open = text.indexOf('<');
    if (open >= 0) {
        qsizetype close = text.indexOf('>', open + 1);
        if (close < 0) throw Exception("Unable to parse email address");
        QString address = text.mid(open + 1, close - open - 1);
        QString name = text.left(open) + text.mid(close + 1);
        return TmsMailAddress(TrimBlanksAndQuotes(address), TrimBlanksAndQuotes(name));
    }
    qsizetype paren = text.indexOf('(');
    if (paren >= 0) {
        QString name = text.mid(paren + 1);
        name.chop(1);
        return TmsMailAddress(TrimBlanksAndQuotes(text.left(paren)), TrimBlanksAndQuotes(name));
    }
    return TmsMailAddress(TrimBlanksAndQuotes(text), QString());
}

QStringList SplitAddressList(const QString& text) {
    QStringList parts;
    QString current;
    bool quoted = false;
    for (QChar c : text) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) {
            if (!current.trimmed().isEmpty()) parts << current;
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.trimmed().isEmpty()) parts << current;
    return parts;
}

TmsAddressList& TmsAddressList::operator=(const TmsAddressList& other) {
    if (this != &other) Assign(other);
    return *this;
}

void TmsAddressList::Add(std::unique_ptr<TmsMailAddress> address) {
    if (address) items_.push_back(std::move(address));
}

TmsMailAddress& TmsAddressList::AddAddress(const QString& address, const QString& name) {
    items_.push_back(std::make_unique<TmsMailAddress>(address, name));
    return *items_.back();
}

void TmsAddressList::Assign(const TmsAddressList& other) {
    if (this == &other) return;
    std::vector<std::unique_ptr<TmsMailAddress>> copy;
    for (const auto& a : other.items_)
        copy.push_back(std::make_unique<TmsMailAddress>(*a));
    items_ = std::move(copy);
}

// --- header lines ------------------------------------------------------------------------------

namespace {
QString FieldPrefix(const QString& field) {
    return field.endsWith(':') ? field : field + ':';
}

bool IsContinuation(const QString& line) {
    return line.startsWith(' ') || line.startsWith('\t');
}
} // namespace

qsizetype TmsHeaders::FindField(const QString& field, qsizetype from) const {
    const QString prefix = FieldPrefix(field);
    for (qsizetype i = from; i < lines_.size(); ++i)
        if (lines_[i].startsWith(prefix, Qt::CaseInsensitive)) return i;
    return -1;
}

QString TmsHeaders::UnfoldedValue(qsizetype at) const {
    const QString& first = lines_[at];
    QString value = first.mid(first.indexOf(':') + 1).trimmed();
    for (qsizetype i = at + 1; i < lines_.size() && IsContinuation(lines_[i]); ++i)
        value += ' ' + lines_[i].trimmed();
    return value;
}

QString TmsHeaders::FieldValue(const QString& field) const {
    qsizetype at = FindField(field);
    return at < 0 ? QString() : UnfoldedValue(at);
}

bool TmsHeaders::HasField(const QString& field) const {
    return FindField(field) >= 0;
}

QStringList TmsHeaders::FieldValues(const QString& field) const {
    QStringList values;
    for (qsizetype at = FindField(field); at >= 0; at = FindField(field, at + 1))
        values << UnfoldedValue(at);
    return values;
}

std::vector<TmsMailAddress> TmsHeaders::FieldAddresses(const QString& field) const {
    std::vector<TmsMailAddress> addresses;
    for (const QString& value : FieldValues(field))
        for (const QString& one : SplitAddressList(value))
            addresses.push_back(ParseMailAddress(one));
    return addresses;
}

void TmsHeaders::RemoveField(const QString& field) {
    qsizetype at = FindField(field);
    if (at < 0) return;
    qsizetype end = at + 1;
    while (end < lines_.size() && IsContinuation(lines_[end]))
        ++end;
    lines_.remove(at, end - at);
}

// --- attachments -------------------------------------------------------------------------------

QString ContentTypeForFileName(const QString& fileName) {
    // The few types whose encoding matters are fixed here; the rest come from the shared MIME
    // database, by extension only.
    static const QHash<QString, QString> fixed = {
        {"txt", "text/plain"}, {"text", "text/plain"}, {"htm", "text/html"},
        {"html", "text/html"}, {"rtf", "text/rtf"},    {"eml", "message/rfc822"},
    };
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix.isEmpty()) return QStringLiteral("application/octet-stream");
    if (auto it = fixed.find(suffix); it != fixed.end()) return *it;
    QMimeDatabase db;
    QMimeType type = db.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault()) return QStringLiteral("application/octet-stream");
    return type.name();
}

int EncodingForContentType(const QString& contentType) {
    const QString type = contentType.toLower();
    if (type == "text/plain" || type == "text/rtf" || type == "text/html") return aeQuotedPrintable;
    if (type == "message/rfc822") return aeNone;
    return aeBase64;
}

QString EncodingName(int encoding) {
    switch (encoding) {
    case aeNone:
        return QStringLiteral("7bit");
    case aeQuotedPrintable:
        return QStringLiteral("Quoted-Printable");
    default:
        return QStringLiteral("Base64");
    }
}

void TmsAttItem::SetFileName(const QString& fileName) {
    fileName_ = ShortText(fileName);
    SetContentType(ContentTypeForFileName(fileName_));
    encoding_ = EncodingForContentType(contentType_);
}

void TmsAttItem::SetContentType(const QString& type) {
    contentType_ = ShortText(type);
}

QString TmsAttItem::BaseName() const {
    return QFileInfo(fileName_).fileName();
}

void TmsAttItem::LoadFromFile(const QString& path) {
    int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) RaiseFileError(errno);
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            int e = errno;
            ::close(fd);
            RaiseFileError(e);
        }
        if (n == 0) break;
        bytes.append(buffer, n);
    }
    ::close(fd);
    SetFileName(path);
    data_ = std::move(bytes);
}

TmsAttList& TmsAttList::operator=(const TmsAttList& other) {
    if (this != &other) Assign(other);
    return *this;
}

TmsAttItem& TmsAttList::Add() {
    items_.push_back(std::make_unique<TmsAttItem>());
    return *items_.back();
}

TmsAttItem& TmsAttList::AddFile(const QString& path) {
    auto item = std::make_unique<TmsAttItem>();
    item->LoadFromFile(path);
    items_.push_back(std::move(item));
    return *items_.back();
}

void TmsAttList::Assign(const TmsAttList& other) {
    if (this == &other) return;
    std::vector<std::unique_ptr<TmsAttItem>> copy;
    for (const auto& a : other.items_)
        copy.push_back(std::make_unique<TmsAttItem>(*a));
    items_ = std::move(copy);
}
