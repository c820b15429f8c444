#include "platform/messageboxes.h"

namespace {
std::shared_ptr<MessageBoxes>& Current() {
    static std::shared_ptr<MessageBoxes> boxes = std::make_shared<ScriptedBoxes>();
    return boxes;
}
} // namespace

MessageBoxes& Boxes() {
    return *Current();
}

void SetBoxes(std::shared_ptr<MessageBoxes> boxes) {
    if (boxes) Current() = std::move(boxes);
}

void ScriptedBoxes::Information(const QString& text) {
    shown_.push_back({"information", text});
}

bool ScriptedBoxes::WarningYesNo(const QString& text) {
    shown_.push_back({"warning", text});
    if (answers_.empty()) return false;
    bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

void ScriptedBoxes::Warning(const QString& text) {
    shown_.push_back({"warning", text});
}

void ScriptedBoxes::Error(const QString& text) {
    shown_.push_back({"error", text});
}

void ScriptedBoxes::Beep() {
    shown_.push_back({"beep", QString()});
}

QStringList ScriptedBoxes::Texts(const QString& kind) const {
    QStringList texts;
    for (const Shown& s : shown_)
        if (s.kind == kind) texts << s.text;
    return texts;
}
