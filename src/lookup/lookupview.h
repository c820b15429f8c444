#pragma once
// What a look-up reads and shows: the query field and the answer list. The window implements it
// with its controls, the command-line companion with its output.
#include "lookup/answertext.h"

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
    // The "Connection failed: " line of a connection attempt that failed.
    virtual void AddConnectionFailure(const QString& line) { AddResponse(line); }
    // A line of the server's answer, as bytes (see AnswerText); the window shows it decoded.
    virtual void AddAnswer(QByteArrayView line) { AddResponse(DecodeAnswerLine(line)); }
    // The selected answer line, when one is selected.
    virtual std::optional<QString> SelectedResponse() const { return std::nullopt; }
};

// The line a look-up adds when the server closed the connection without sending anything.
inline constexpr const char* ClosedWithoutAnswer = "Connection closed; no answer.";

// How a look-up ended when its handler returned.
enum class LookupOutcome {
    NothingToLookUp, // empty field: a beep
    Refused,         // a name that cannot be asked: its reason shown, nothing sent
    Failed,          // an "Exception: " line, or the connection refused, reset or closed at once
    TimedOut,        // no connection within the wait: the box, the answer emptied
    QuerySent,       // connected and the query sent; the answer arrives as events
};
