#pragma once
// The parts a message is made of: mail addresses and their owned lists, extra header lines, and
// attachments with their owned list.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// A display name and a mailbox address, each at most 255 characters.
class TmsMailAddress {
public:
    TmsMailAddress() = default;
    TmsMailAddress(const QString& address, const QString& name);

    const QString& Name() const { return name_; }
    void SetName(const QString& name);
    const QString& Address() const { return address_; }
    void SetAddress(const QString& address);

    void Assign(const TmsMailAddress& other);
    void Clear();

private:
    QString name_;
    QString address_;
};

// Parses one address text: "Name <addr>", "addr (Name)" or a bare address. A "<" without a later
// ">" fails with "Unable to parse email address".
TmsMailAddress ParseMailAddress(const QString& text);
// Splits an address list at the commas outside double quotes.
QStringList SplitAddressList(const QString& text);

// An ordered list of addresses that the list owns.
class TmsAddressList {
public:
    TmsAddressList() = default;
    TmsAddressList(const TmsAddressList& other) { Assign(other); }
    TmsAddressList& operator=(const TmsAddressList& other);

    int Count() const { return int(items_.size()); }
    TmsMailAddress& Items(int index) { return *items_.at(size_t(index)); }
    const TmsMailAddress& Items(int index) const { return *items_.at(size_t(index)); }
    // Takes ownership of `address`.
    void Add(std::unique_ptr<TmsMailAddress> address);
    // Appends a new address made of these values (address first, then display name).
    TmsMailAddress& AddAddress(const QString& address, const QString& name = QString());
    void Clear() { items_.clear(); }
    void Assign(const TmsAddressList& other);

private:
    std::vector<std::unique_ptr<TmsMailAddress>> items_;
};

// Extra header lines: "Field: value", continuation lines beginning with a blank or a tab. Field
// names are matched without regard to case, with or without their colon.
class TmsHeaders {
public:
    QStringList& Lines() { return lines_; }
    const QStringList& Lines() const { return lines_; }
    void Add(const QString& line) { lines_.append(line); }
    void Clear() { lines_.clear(); }
    int Count() const { return int(lines_.size()); }

    // The unfolded value of the first field of that name (continuation lines joined with one
    // blank); empty when there is none.
    QString FieldValue(const QString& field) const;
    // True when a field of that name is present.
    bool HasField(const QString& field) const;
    // The unfolded values of every field of that name.
    QStringList FieldValues(const QString& field) const;
    // The addresses of all fields of that name.
    std::vector<TmsMailAddress> FieldAddresses(const QString& field) const;
    // Removes the first field of that name together with its continuation lines.
    void RemoveField(const QString& field);

private:
    // Index of the next line at or after `from` that starts field `field`, or -1.
    qsizetype FindField(const QString& field, qsizetype from = 0) const;
    QString UnfoldedValue(qsizetype at) const;

    QStringList lines_;
};

// Transfer encodings of an attachment.
enum TAttEncoding { aeNone = 0, aeBase64 = 1, aeQuotedPrintable = 2 };

// One attachment: its file name, content type, transfer encoding and bytes.
class TmsAttItem {
public:
    const QString& FileName() const { return fileName_; }
    // Also picks the content type from the file's extension and the encoding from the type.
    void SetFileName(const QString& fileName);
    const QString& ContentType() const { return contentType_; }
    void SetContentType(const QString& type);
    int Encoding() const { return encoding_; }
    void SetEncoding(int encoding) { encoding_ = encoding; }
    QByteArray& Data() { return data_; }
    const QByteArray& Data() const { return data_; }

    // Sets the file name and reads the file's bytes; a file that cannot be read raises the file
    // error.
    void LoadFromFile(const QString& path);
    // The file name without its folder.
    QString BaseName() const;

private:
    QString fileName_;
    QString contentType_ = QStringLiteral("application/octet-stream");
    int encoding_ = aeBase64;
    QByteArray data_;
};

// The content type registered for a file name's extension ("application/octet-stream" when none).
QString ContentTypeForFileName(const QString& fileName);
// The transfer encoding an attachment of that content type gets.
int EncodingForContentType(const QString& contentType);
// The name of a transfer encoding in part headers: "7bit", "Base64", "Quoted-Printable".
QString EncodingName(int encoding);

class TmsAttList {
public:
    TmsAttList() = default;
    TmsAttList(const TmsAttList& other) { Assign(other); }
    TmsAttList& operator=(const TmsAttList& other);

    int Count() const { return int(items_.size()); }
    TmsAttItem& Items(int index) { return *items_.at(size_t(index)); }
    const TmsAttItem& Items(int index) const { return *items_.at(size_t(index)); }
    TmsAttItem& Add();
    // Adds the file at `path` with its bytes.
    TmsAttItem& AddFile(const QString& path);
    void Clear() { items_.clear(); }
    void Assign(const TmsAttList& other);

private:
    std::vector<std::unique_ptr<TmsAttItem>> items_;
};
