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

QString DisplayedText(const QString& text) {
    if (!text.contains(QLatin1String("&&"))) return text;
    return QString(text).replace(QLatin1String("&&"), QLatin1String("&"));
}

QString ApplicationTitle() {
    return QStringLiteral("Regiscribe");
}

void ScriptedBoxes::Record(const char* kind, const QString& caption, const QString& text) {
    shown_.push_back({QString::fromLatin1(kind), caption, DisplayedText(text)});
    if (OnShown) OnShown();
}

void ScriptedBoxes::Information(const QString& text) {
    Record("information", InformationCaption(), text);
}

bool ScriptedBoxes::InformationWithButton(const QString& text, const QString&) {
    Record("information", InformationCaption(), text);
    const bool pressed = pressButton_;
    pressButton_ = false;
    return pressed;
}

BoxAnswer ScriptedBoxes::WarningYesNo(const QString& text) {
    Record("warning", WarningCaption(), text);
    if (answers_.empty()) return BoxAnswer::No;
    const BoxAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void ScriptedBoxes::Warning(const QString& text) {
    Record("warning", WarningCaption(), text);
}

void ScriptedBoxes::Error(const QString& text) {
    Record("error", ApplicationTitle(), text);
}

void ScriptedBoxes::Beep() {
    shown_.push_back({"beep", QString(), QString()});
}

QStringList ScriptedBoxes::Texts(const QString& kind) const {
    QStringList texts;
    for (const Shown& s : shown_)
        if (s.kind == kind) texts << s.text;
    return texts;
}

QStringList ScriptedBoxes::Captions(const QString& kind) const {
    QStringList captions;
    for (const Shown& s : shown_)
        if (s.kind == kind) captions << s.caption;
    return captions;
}
