#pragma once
// What a look-up reads and shows: the query field and the answer list. The window implements it
// with its controls, the command-line companion with its output.
#include <QByteArrayView>
#include <QString>
#include <optional>

class LookupView {
public:
    virtual ~LookupView() = default;
    // The text of the query field (tDomain, tHost).
    virtual QString QueryText() const = 0;
    virtual void SetQueryText(const QString& text) = 0;
    // The answer memo or list (mResponse, lResponse).
    virtual void ClearResponse() = 0;
    virtual void AddResponse(const QString& line) = 0;
    // A line of the server's answer as received: UTF-8 bytes.
    virtual void AddAnswer(QByteArrayView text) { AddResponse(QString::fromUtf8(text)); }
    // The selected answer line, when one is selected.
    virtual std::optional<QString> SelectedResponse() const { return std::nullopt; }
};

// A line as an answer view shows it. A carriage return is not a line break there and shows as
// nothing, so the CR of a CR LF line end (which stays part of the line's text) changes nothing.
inline QString ShownLine(const QString& line) {
    return line.contains('\r') ? QString(line).remove('\r') : line;
}

// How a look-up ended when its handler returned.
enum class LookupOutcome {
    NothingToLookUp, // empty field: a beep
    Failed,          // an ElcIPPort was caught and shown as an "Exception: " line
    TimedOut,        // no connection within the wait: the box, the answer emptied
    QuerySent,       // connected and the query sent; the answer arrives as events
};
