#include "app/ui/typinglimit.h"

#include <QLineEdit>
#include <QValidator>

namespace {
class TypingLimitValidator : public QValidator {
public:
    TypingLimitValidator(QLineEdit* edit, int limit)
        : QValidator(edit), limit_(limit), before_(edit->text()) {
        // The text before a change: when validate() runs the edit already holds the new one.
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& now) { before_ = now; });
    }
    int Limit() const { return limit_; }

    // A change that takes the text past the limit, and past its length before the change, is
    // refused; the edit then keeps its text. Text set by the program is kept whatever this says
    // (the edit undoes refused changes of the user only), and an over-long text may still be
    // shortened.
    State validate(QString& input, int&) const override {
        return input.size() <= std::max<qsizetype>(limit_, before_.size()) ? Acceptable : Invalid;
    }

private:
    int limit_;
    QString before_;
};
} // namespace

void SetTypingLimit(QLineEdit* edit, int limit) {
    edit->setValidator(limit > 0 ? new TypingLimitValidator(edit, limit) : nullptr);
}

int TypingLimit(const QLineEdit* edit) {
    auto* v = dynamic_cast<const TypingLimitValidator*>(edit->validator());
    return v ? v->Limit() : 0;
}
