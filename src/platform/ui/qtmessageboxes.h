#pragma once
#include "platform/messageboxes.h"

// Real modal boxes: information and warning under their standard captions, errors under the
// application's title.
class QtMessageBoxes : public MessageBoxes {
public:
    void Information(const QString& text) override;
    bool InformationWithButton(const QString& text, const QString& button) override;
    BoxAnswer WarningYesNo(const QString& text) override;
    BoxAnswer WarningYesNoDefaultNo(const QString& text) override;
    void Warning(const QString& text) override;
    void Error(const QString& text) override;
    void Beep() override;
};
