#include "replies/imapanswer.h"

#include <QRegularExpression>
#include <QTimeZone>
#include <algorithm>

namespace {
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Walks the transcript response by response: a response ends at the CR LF that does not close a
// literal announcement "{n}" (the n bytes after that belong to the response).
class Responses {
public:
    explicit Responses(const QByteArray& text) : text_(text) {}

    // The next response, without its last CR LF; false at the end. `cut` is set when a literal
    // runs past the end of the transcript.
    bool Next(QByteArray& response) {
        if (at_ >= text_.size()) return false;
        const qsizetype start = at_;
        for (;;) {
            const qsizetype lineEnd = text_.indexOf('\n', at_);
            if (lineEnd < 0) {
                at_ = text_.size();
                break;
            }
            const qsizetype literal = LiteralSize(lineEnd);
            at_ = lineEnd + 1;
            if (literal < 0) break;
            if (text_.size() - at_ < literal) {
                cut_ = true;
                at_ = text_.size();
                break;
            }
            at_ += literal;
        }
        qsizetype end = at_;
        if (end > start && text_[end - 1] == '\n') --end;
        if (end > start && text_[end - 1] == '\r') --end;
        response = text_.mid(start, end - start);
        return true;
    }
    bool Cut() const { return cut_; }

private:
    // The size announced by "{n}" (or "{n+}") at the end of the line ending at `lineEnd`, or -1.
    qsizetype LiteralSize(qsizetype lineEnd) const {
        qsizetype p = lineEnd;
        if (p > 0 && text_[p - 1] == '\r') --p;
        if (p == 0 || text_[p - 1] != '}') return -1;
        --p;
        if (p > 0 && text_[p - 1] == '+') --p;
        qsizetype digitsEnd = p;
        while (p > 0 && text_[p - 1] >= '0' && text_[p - 1] <= '9')
            --p;
        if (p == digitsEnd || p == 0 || text_[p - 1] != '{' || digitsEnd - p > 12) return -1;
        return text_.mid(p, digitsEnd - p).toLongLong();
    }

    const QByteArray& text_;
    qsizetype at_ = 0;
    bool cut_ = false;
};

// Reads the values of one FETCH response's parenthesised list.
class ItemReader {
public:
    ItemReader(const QByteArray& text, qsizetype at) : text_(text), at_(at) {}

    bool AtListEnd() {
        SkipBlanks();
        return at_ >= text_.size() || text_[at_] == ')';
    }

    qsizetype Position() const { return at_; }

    // An item name such as "UID" or "BODY[HEADER]<0>" (brackets may hold blanks).
    QByteArray Name() {
        SkipBlanks();
        const qsizetype start = at_;
        int depth = 0;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '[') ++depth;
            if (c == ']') --depth;
            if (depth <= 0 && (c == ' ' || c == '(' || c == ')')) break;
            ++at_;
        }
        return text_.mid(start, at_ - start).toUpper();
    }

    // A value: a literal's or quoted string's contents, an atom, or a list as it stands.
    QByteArray Value() {
        SkipBlanks();
        if (at_ >= text_.size()) return QByteArray();
        const char c = text_[at_];
        if (c == '{') {
            // A literal without its closing brace or line end, or of a negative size, holds
            // nothing: the reading ends there (it never goes back).
            const qsizetype close = text_.indexOf('}', at_);
            const qsizetype lineEnd = close < 0 ? -1 : text_.indexOf('\n', close);
            const qsizetype size =
                close < 0 ? -1 : text_.mid(at_ + 1, close - at_ - 1).replace("+", "").toLongLong();
            if (lineEnd < 0 || size < 0) {
                at_ = text_.size();
                return QByteArray();
            }
            const qsizetype start = lineEnd + 1;
            at_ = std::min(text_.size(), start + size);
            return text_.mid(start, size);
        }
        if (c == '"') {
            QByteArray value;
            for (++at_; at_ < text_.size() && text_[at_] != '"'; ++at_) {
                if (text_[at_] == '\\' && at_ + 1 < text_.size()) ++at_;
                value += text_[at_];
            }
            ++at_;
            return value;
        }
        const qsizetype start = at_;
        if (c == '(') {
            int depth = 0;
            do {
                if (text_[at_] == '(') ++depth;
                if (text_[at_] == ')') --depth;
                ++at_;
            } while (at_ < text_.size() && depth > 0);
            return text_.mid(start, at_ - start);
        }
        while (at_ < text_.size() && text_[at_] != ' ' && text_[at_] != ')')
            ++at_;
        return text_.mid(start, at_ - start);
    }

private:
    void SkipBlanks() {
        while (at_ < text_.size() && text_[at_] == ' ')
            ++at_;
    }
    const QByteArray& text_;
    qsizetype at_;
};

QDateTime InternalDate(const QByteArray& value) {
    static const QRegularExpression form(
        R"(^\s?(\d{1,2})-([A-Za-z]{3})-(\d{4}) (\d\d):(\d\d):(\d\d) ([+-])(\d\d)(\d\d)$)");
    const QRegularExpressionMatch m = form.match(QString::fromLatin1(value));
    if (!m.hasMatch()) return QDateTime();
    int month = 0;
    for (int i = 0; i < 12; ++i)
        if (m.captured(2).compare(kMonths[i], Qt::CaseInsensitive) == 0) month = i + 1;
    const int offset = (m.captured(7) == "-" ? -1 : 1) *
                       (m.captured(8).toInt() * 3600 + m.captured(9).toInt() * 60);
    return QDateTime(QDate(m.captured(3).toInt(), month, m.captured(1).toInt()),
                     QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt()),
                     QTimeZone(offset));
}
} // namespace

namespace {
// The number of a "* OK [CODE n]" response.
std::optional<quint32> ResponseCode(const QByteArray& transcript, const QByteArray& code) {
    Responses responses(transcript);
    QByteArray response;
    const QByteArray prefix = "* OK [" + code + " ";
    while (responses.Next(response))
        if (response.startsWith(prefix)) {
            bool ok = false;
            const quint32 value = response.mid(prefix.size()).split(']').front().toUInt(&ok);
            if (ok) return value;
        }
    return std::nullopt;
}

// The origin of a partial item name such as "BODY[TEXT]<65536>".
qint64 Origin(const QByteArray& name) {
    const qsizetype open = name.lastIndexOf('<');
    return open < 0 ? 0 : name.mid(open + 1, name.size() - open - 2).toLongLong();
}
} // namespace

std::optional<quint32> UidValidityIn(const QByteArray& transcript) {
    return ResponseCode(transcript, "UIDVALIDITY");
}

std::optional<quint32> UidNextIn(const QByteArray& transcript) {
    return ResponseCode(transcript, "UIDNEXT");
}

std::vector<quint32> SearchResultIn(const QByteArray& transcript) {
    std::vector<quint32> uids;
    Responses responses(transcript);
    QByteArray response;
    while (responses.Next(response)) {
        if (!response.startsWith("* SEARCH")) continue;
        for (const QByteArray& word : response.mid(8).split(' ')) {
            bool ok = false;
            const quint32 uid = word.toUInt(&ok);
            if (ok && uid > 0) uids.push_back(uid);
        }
    }
    return uids;
}

Result<std::vector<FetchedMessage>> FetchResultIn(const QByteArray& transcript) {
    static const QRegularExpression fetch(R"(^\* \d+ FETCH \()",
                                          QRegularExpression::CaseInsensitiveOption);
    std::vector<FetchedMessage> messages;
    Responses responses(transcript);
    QByteArray response;
    while (responses.Next(response)) {
        const QRegularExpressionMatch m = fetch.match(QString::fromLatin1(response.left(32)));
        if (!m.hasMatch()) continue;
        FetchedMessage message;
        ItemReader items(response, m.capturedLength());
        while (!items.AtListEnd()) {
            const qsizetype before = items.Position();
            const QByteArray name = items.Name();
            const QByteArray value = items.Value();
            // Whatever a server sends, every item read moves on.
            if (items.Position() <= before) break;
            if (name == "UID") {
                message.uid = value.toUInt();
            } else if (name == "INTERNALDATE") {
                message.arrived = InternalDate(value);
            } else if (name == "RFC822.SIZE") {
                message.size = value.toLongLong();
            } else if (name.startsWith("BODY[HEADER]")) {
                message.header = value;
                message.hasHeader = true;
            } else if (name.startsWith("BODY[TEXT]")) {
                message.text = value;
                message.textFrom = Origin(name);
            } else if (name.isEmpty()) {
                break;
            }
        }
        if (message.uid > 0) messages.push_back(message);
    }
    if (responses.Cut()) return Fail("The server's answer ended in the middle of a message.");
    return messages;
}

QByteArray UidSet(std::vector<quint32> uids) {
    std::sort(uids.begin(), uids.end());
    uids.erase(std::unique(uids.begin(), uids.end()), uids.end());
    QByteArray set;
    for (size_t i = 0; i < uids.size();) {
        size_t j = i;
        while (j + 1 < uids.size() && uids[j + 1] == uids[j] + 1)
            ++j;
        if (!set.isEmpty()) set += ',';
        set += QByteArray::number(uids[i]);
        if (j > i) set += ':' + QByteArray::number(uids[j]);
        i = j + 1;
    }
    return set;
}

QByteArray ImapSearchDate(const QDate& date) {
    return QByteArray::number(date.day()) + '-' + kMonths[date.month() - 1] + '-' +
           QByteArray::number(date.year());
}

QByteArray ImapMailboxName(const QString& folder) {
    QByteArray out;
    QByteArray run; // UTF-16 big-endian bytes of the characters outside printable ASCII
    auto flush = [&] {
        if (run.isEmpty()) return;
        QByteArray encoded = run.toBase64(QByteArray::OmitTrailingEquals);
        encoded.replace('/', ',');
        out += '&' + encoded + '-';
        run.clear();
    };
    for (const QChar c : folder) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u <= 0x7e) {
            flush();
            out += u == '&' ? QByteArray("&-") : QByteArray(1, char(u));
        } else {
            run += char(u >> 8);
            run += char(u & 0xff);
        }
    }
    flush();
    return out;
}
