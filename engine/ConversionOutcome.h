#pragma once

#include <QMetaType>
#include <QString>

// How one conversion ended: the video written, one of the fixed error
// messages, or stopped on request.
struct ConversionOutcome {
    enum class Kind { Succeeded, Failed, Cancelled };

    Kind kind = Kind::Failed;
    // The error message shown to the user; empty unless failed.
    QString message;
    // The folder holding the video; empty unless succeeded.
    QString outputFolder;

    static ConversionOutcome success(const QString& outputFolder) {
        return {Kind::Succeeded, QString(), outputFolder};
    }
    static ConversionOutcome failure(const QString& message) { return {Kind::Failed, message, QString()}; }
    static ConversionOutcome cancelled() { return {Kind::Cancelled, QString(), QString()}; }

    bool succeeded() const { return kind == Kind::Succeeded; }
    bool wasCancelled() const { return kind == Kind::Cancelled; }
};

Q_DECLARE_METATYPE(ConversionOutcome)
