#include "session/SettingsValidator.h"

#include "core/IntegerText.h"
#include "core/UserTexts.h"

#include <QFileInfo>
#include <cmath>

namespace zev {

SettingsValidator::SettingsValidator()
    : settings_(ConversionSettings::defaults()) {}

Result<ConversionSettings> SettingsValidator::validate(const FrontEndInputs& inputs) {
    if (!IntegerText::isInteger(inputs.fpsText))
        return Result<ConversionSettings>::failure(UserTexts::kBadFpsText);
    const qint64 frameRate = IntegerText::integerValue(inputs.fpsText);
    if (frameRate < 1 || frameRate > 59)
        return Result<ConversionSettings>::failure(UserTexts::kFpsOutOfRange);
    // Follows symbolic links: a link to a folder is a folder.
    const QFileInfo folder(inputs.folderText);
    if (inputs.folderText.isEmpty() || !folder.exists())
        return Result<ConversionSettings>::failure(UserTexts::kFolderMissing);
    if (!folder.isDir())
        return Result<ConversionSettings>::failure(UserTexts::kNotAFolder);

    settings_.fps = frameRate;
    settings_.rate = rateForSlider(inputs.sliderValue);
    settings_.sourceImageFolder = inputs.folderText;
    settings_.useCache = inputs.cacheTicked;
    settings_.express = inputs.expressTicked;
    settings_.output = inputs.output;
    settings_.cacheCapBytes = inputs.cacheCapBytes;
    return settings_;
}

qint64 SettingsValidator::rateForSlider(double sliderValue) {
    // Span first, then the floor of 100, then truncation toward zero.
    return static_cast<qint64>(std::trunc(4000.0 * sliderValue + 100.0));
}

} // namespace zev
