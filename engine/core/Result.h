#pragma once

#include <QString>
#include <optional>
#include <type_traits>
#include <utility>

namespace zev {

// Why an engine operation failed, named concretely (the file, the size, the
// path, the tool and how it ended), with the tool output behind it kept apart
// as details. The reason is for the user to read beside the fixed message;
// it is never the message itself.
struct Failure {
    QString reason;
    QString details;
};

// What an engine operation answers: a value (none for Result<>), or the
// failure that explains why there is none. A failed result of any type
// converts to a failed result of another, so a reason travels up unchanged:
//
//     Result<QSize> size = readSize(file);
//     if (!size)
//         return size.failure();
//     use(*size);
//
// The failure is a Failure unless a caller needs more than a reason: the
// frame checks answer the whole refusal a front end shows (E), as
// std::expected would.
template <typename T = void, typename E = Failure> class [[nodiscard]] Result {
    static_assert(!std::is_same_v<std::remove_cv_t<T>, E>, "a value and a failure must differ in type");

public:
    Result(T value)
        : value_(std::move(value)) {}
    Result(E failure)
        : failure_(std::move(failure)) {}

    static Result failure(QString reason, QString details = QString()) requires std::is_same_v<E, Failure> {
        return Failure{std::move(reason), std::move(details)};
    }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }

    // Only on success.
    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T& operator*() const& { return *value_; }
    T& operator*() & { return *value_; }
    T&& operator*() && { return std::move(*value_); }
    const T* operator->() const { return &*value_; }
    T* operator->() { return &*value_; }

    // Empty (default) on success.
    const E& failure() const { return failure_; }
    const QString& reason() const requires std::is_same_v<E, Failure> { return failure_.reason; }
    const QString& details() const requires std::is_same_v<E, Failure> { return failure_.details; }

private:
    std::optional<T> value_;
    E failure_{};
};

template <typename E> class [[nodiscard]] Result<void, E> {
public:
    Result(E failure)
        : failed_(true)
        , failure_(std::move(failure)) {}

    static Result success() { return Result(); }
    static Result failure(QString reason, QString details = QString()) requires std::is_same_v<E, Failure> {
        return Failure{std::move(reason), std::move(details)};
    }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }

    const E& failure() const { return failure_; }
    const QString& reason() const requires std::is_same_v<E, Failure> { return failure_.reason; }
    const QString& details() const requires std::is_same_v<E, Failure> { return failure_.details; }

private:
    Result() = default;

    bool failed_ = false;
    E failure_{};
};

} // namespace zev
