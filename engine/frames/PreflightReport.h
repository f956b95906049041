#pragma once

#include <QSize>
#include <QString>
#include <optional>

// The verdict of the checks made before a run. A refused run must not start;
// a warning is for the user to hear, and the run may go ahead.
struct [[nodiscard]] PreflightReport {
    bool ok = false;
    QString reason;                 // one sentence naming the file, size or path; empty when ok
    QSize frameSize;                // every frame's size; invalid when refused before it was known
    std::optional<QString> warning; // only on a run that may go ahead
};
