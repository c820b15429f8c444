#pragma once
// The one way a function below the window's edge reports a failure it expects: a value, or the
// error text the user will read. Exceptions stay for the window's edge and for the described
// exception classes; nothing returns an empty string or a bool with an out-parameter for this.
#include <QString>
#include <optional>
#include <utility>

// The failure half of a Result: converts to any Result<T>.
struct Failure {
    QString text;
};
inline Failure Fail(QString text) {
    return Failure{std::move(text)};
}

template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : error_(std::move(failure.text)) {}

    bool Ok() const { return value_.has_value(); }
    explicit operator bool() const { return Ok(); }
    const T& Value() const& { return *value_; }
    T& Value() & { return *value_; }
    T&& Value() && { return std::move(*value_); }
    const T* operator->() const { return &*value_; }
    const T& operator*() const& { return *value_; }
    // The value, or `fallback` after a failure.
    T ValueOr(T fallback) const { return value_ ? *value_ : std::move(fallback); }
    // The failure's text; empty after a success.
    const QString& Error() const { return error_; }

private:
    std::optional<T> value_;
    QString error_;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : failed_(true), error_(std::move(failure.text)) {}

    bool Ok() const { return !failed_; }
    explicit operator bool() const { return Ok(); }
    const QString& Error() const { return error_; }

private:
    bool failed_ = false;
    QString error_;
};
using Done = Result<void>;
