#pragma once
#include "platform/messageboxes.h"

// Real modal boxes under the application's title.
class QtMessageBoxes : public MessageBoxes {
public:
    void Information(const QString& text) override;
    bool WarningYesNo(const QString& text) override;
    void Warning(const QString& text) override;
    void Error(const QString& text) override;
    void Beep() override;
};
