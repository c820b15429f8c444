#pragma once
// What the action and scheme selectors do: which fields a New, Modify or Delete choice opens and
// closes, the delete questions, and the caption and field state a scheme name gives. The
// selectors only ever change captions and field states, never field texts.
#include "templates/recordmodel.h"

#include <QString>
#include <optional>
#include <vector>

// How an action radio became checked. A declined delete is followed by checking New, which then
// runs the New reaction as well.
enum class ActionChoice { New, Modify, DeleteConfirmed, DeleteDeclined };

struct FieldOpening {
    QString control;
    bool open;
};
// The fields a choice opens or closes on a tab, in the order it does so. `authorizationType` is
// the contact's authorization type text, which decides whether Modify leaves its info field
// closed. The domain tab's choices open and close nothing.
std::vector<FieldOpening> ActionFieldChanges(RecordKind kind, ActionChoice choice,
                                             const QString& authorizationType = QString());

// The warning asked when Delete is chosen on a tab (two blanks after the full stop).
QString DeleteQuestion(RecordKind kind);

struct SchemeEffect {
    QString caption; // for the label of the info field
    bool open;       // whether the info field opens
};
// The effect of an authorization scheme box's text: exact, case-sensitive scheme names only; any
// other text (partly typed, other case) changes nothing.
std::optional<SchemeEffect> AuthorizationSchemeEffect(const QString& text);
// The caption the authentication scheme box gives the label of its info field, which always
// stays open.
std::optional<QString> AuthenticationCaption(const QString& text);
