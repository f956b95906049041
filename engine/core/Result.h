#pragma once

#include <QString>
#include <optional>
#include <type_traits>
#include <utility>

// Why an engine operation failed, named concretely (the file, the size, the
// path, the tool and how it ended), with the tool output behind it kept apart
// as details. The reason is for the user to read beside the fixed message;
// it is never the message itself.
struct Failure {
    QString reason;
    QString details;
};

// What an engine operation answers: a value (none for Result<>), or the
// Failure that explains why there is none. A failed result of any type
// converts to a failed result of another, so a reason travels up unchanged:
//
//     Result<QSize> size = readSize(file);
//     if (!size)
//         return size.failure();
//     use(*size);
template <typename T = void> class [[nodiscard]] Result {
public:
    Result(T value)
        : value_(std::move(value)) {}
    Result(Failure failure)
        : failure_(std::move(failure)) {}

    static Result failure(QString reason, QString details = QString()) {
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
    const T* operator->() const { return &*value_; }
    T* operator->() { return &*value_; }

    // Empty on success.
    const QString& reason() const { return failure_.reason; }
    const QString& details() const { return failure_.details; }
    const Failure& failure() const { return failure_; }

private:
    std::optional<T> value_;
    Failure failure_;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result(Failure failure)
        : failed_(true)
        , failure_(std::move(failure)) {}

    static Result success() { return Result(); }
    static Result failure(QString reason, QString details = QString()) {
        return Failure{std::move(reason), std::move(details)};
    }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }

    const QString& reason() const { return failure_.reason; }
    const QString& details() const { return failure_.details; }
    const Failure& failure() const { return failure_; }

private:
    Result() = default;

    bool failed_ = false;
    Failure failure_;
};
