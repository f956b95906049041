#include "session/SettingsValidator.h"

#include "core/IntegerText.h"
#include "core/UserTexts.h"
#include "tools/MediaSource.h"

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
    // A video or animated image goes to the express conversion; any other
    // file (a still PNG among them) is refused as before.
    const bool media = !folder.isDir() && MediaSource::isCandidate(inputs.folderText);
    if (!folder.isDir() && !media)
        return Result<ConversionSettings>::failure(UserTexts::kNotAFolder);

    settings_.fps = frameRate;
    settings_.rate = rateForSlider(inputs.sliderValue);
    settings_.fpsTyped = inputs.fpsTyped;
    settings_.sourceImageFolder = inputs.folderText;
    settings_.mediaSource = media;
    settings_.sourcePremultiplied = inputs.sourcePremultiplied;
    settings_.useCache = inputs.cacheTicked && !media;
    settings_.express = inputs.expressTicked || media;
    settings_.output = inputs.output;
    settings_.cacheCapBytes = inputs.cacheCapBytes;
    return settings_;
}

qint64 SettingsValidator::rateForSlider(double sliderValue) {
    // Span first, then the floor of 100, then truncation toward zero.
    return static_cast<qint64>(std::trunc(4000.0 * sliderValue + 100.0));
}

} // namespace zev
