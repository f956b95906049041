#pragma once

#include <QString>

// What an engine operation answers: success, or the reason it failed, named
// concretely (the file, the size, the path, the tool and how it ended), with
// the tool output behind it kept apart as details. The reason is for the
// user to read beside the fixed message; it is never the message itself.
class [[nodiscard]] Result {
public:
    static Result success() { return Result(); }
    static Result failure(QString reason, QString details = QString()) {
        Result result;
        result.failed_ = true;
        result.reason_ = std::move(reason);
        result.details_ = std::move(details);
        return result;
    }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const QString& reason() const { return reason_; }
    const QString& details() const { return details_; }

private:
    Result() = default;

    bool failed_ = false;
    QString reason_;
    QString details_;
};
