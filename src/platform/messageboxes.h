#pragma once
// The modal message boxes and the beep go through this interface: the window program shows real
// boxes, the command-line companion writes lines, and tests script the answers.
//
// Information and warning boxes carry the standard captions of their kind ("Information",
// "Warning"); the error box carries the application's title. A box shows its text with every "&&"
// as one "&" (DisplayedText), the way the window's captions show a doubled ampersand.
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

// How the user answered a Yes/No box. Escape answers No; closing the box with its window's close
// button is an answer of its own, which each question maps as it needs.
enum class BoxAnswer { Yes, No, Closed };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void Information(const QString& text) = 0;
    // A warning with Yes and No.
    virtual BoxAnswer WarningYesNo(const QString& text) = 0;
    // The same with No as the default button, for questions where Enter must not act.
    virtual BoxAnswer WarningYesNoDefaultNo(const QString& text) { return WarningYesNo(text); }
    // An information box with a second button beside OK (`button`, "&" marking its mnemonic):
    // true when the user pressed that button. Boxes without buttons show the text alone.
    virtual bool InformationWithButton(const QString& text, const QString& button) {
        (void)button;
        Information(text);
        return false;
    }
    // A warning with OK only. Boxes without a warning icon of their own show it as information.
    virtual void Warning(const QString& text) { Information(text); }
    // An error box under the application's title; the text is shown as given.
    virtual void Error(const QString& text) = 0;
    virtual void Beep() = 0;
};

// The boxes in use. Never null: a scripted set stands in until a program installs its own.
MessageBoxes& Boxes();
void SetBoxes(std::shared_ptr<MessageBoxes> boxes);

// The text a box shows: "&&" as one "&".
QString DisplayedText(const QString& text);
// The application's title, on the error box.
QString ApplicationTitle();
inline const char* InformationCaption() {
    return "Information";
}
inline const char* WarningCaption() {
    return "Warning";
}

// Answers boxes from a script and records every box it was shown, for tests.
class ScriptedBoxes : public MessageBoxes {
public:
    struct Shown {
        QString kind;    // "information", "warning", "error" or "beep"
        QString caption; // as the box's title bar shows it
        QString text;    // as the box shows it (DisplayedText)
    };
    void Information(const QString& text) override;
    // Recorded as "information"; presses the button when PressButtonNext asked for it.
    bool InformationWithButton(const QString& text, const QString& button) override;
    BoxAnswer WarningYesNo(const QString& text) override;
    void Warning(const QString& text) override; // recorded as "warning"
    void Error(const QString& text) override;
    void Beep() override;

    // Answers for the next Yes/No boxes, in order; with none left a box is answered No.
    void AnswerNext(bool yes) { answers_.push_back(yes ? BoxAnswer::Yes : BoxAnswer::No); }
    void AnswerNext(BoxAnswer answer) { answers_.push_back(answer); }
    // The next box with a button of its own is answered with that button (once).
    void PressButtonNext() { pressButton_ = true; }
    const std::vector<Shown>& shown() const { return shown_; }
    QStringList Texts(const QString& kind) const;
    QStringList Captions(const QString& kind) const;
    void Clear() {
        shown_.clear();
        answers_.clear();
    }
    // Called as each box is shown, while the code that showed it waits for the answer.
    std::function<void()> OnShown;

private:
    void Record(const char* kind, const QString& caption, const QString& text);
    std::vector<Shown> shown_;
    std::deque<BoxAnswer> answers_;
    bool pressButton_ = false;
};
