#pragma once

#include "pipeline/ConversionProgress.h"

#include <QCoreApplication>
#include <QString>

namespace zev {

// The busy overlay's two lines in the window's language: the stage with its
// frame count ("正在提取 120/480 帧") and the time left ("约 2 分 10 秒").
class ProgressTexts {
    Q_DECLARE_TR_FUNCTIONS(ProgressTexts)

public:
    static QString stageText(const ConversionProgress& progress);
    static QString timeText(const ConversionProgress& progress);
};

} // namespace zev
