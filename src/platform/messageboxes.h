#pragma once
// The modal message boxes and the beep go through this interface: the window program shows real
// boxes, the command-line companion writes lines, and tests script the answers.
#include <QString>
#include <QStringList>
#include <deque>
#include <memory>

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void Information(const QString& text) = 0;
    // A warning with Yes and No; true for Yes.
    virtual bool WarningYesNo(const QString& text) = 0;
    // A warning with OK only. Boxes without a warning icon of their own show it as information.
    virtual void Warning(const QString& text) { Information(text); }
    // An error box under the application's title; the text is shown as given.
    virtual void Error(const QString& text) = 0;
    virtual void Beep() = 0;
};

// The boxes in use. Never null: a scripted set stands in until a program installs its own.
MessageBoxes& Boxes();
void SetBoxes(std::shared_ptr<MessageBoxes> boxes);

// Answers boxes from a script and records every box it was shown, for tests.
class ScriptedBoxes : public MessageBoxes {
public:
    struct Shown {
        QString kind; // "information", "warning", "error" or "beep"
        QString text;
    };
    void Information(const QString& text) override;
    bool WarningYesNo(const QString& text) override;
    void Warning(const QString& text) override; // recorded as "warning"
    void Error(const QString& text) override;
    void Beep() override;

    // Answers for the next warning boxes, in order; with none left a warning is answered No.
    void AnswerNext(bool yes) { answers_.push_back(yes); }
    const std::vector<Shown>& shown() const { return shown_; }
    QStringList Texts(const QString& kind) const;
    void Clear() {
        shown_.clear();
        answers_.clear();
    }

private:
    std::vector<Shown> shown_;
    std::deque<bool> answers_;
};
