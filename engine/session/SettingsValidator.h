#pragma once

#include "core/Result.h"
#include "pipeline/ConversionSettings.h"
#include "session/FrontEndInputs.h"

namespace zev {

// Turns a front end's inputs into the settings of the next conversion, and
// holds the settings of the last inputs it accepted (the start-up values
// until then). The checks run in a fixed order and the first that fails
// decides: the frame-rate text is an integer, the integer lies in 1…59, the
// folder text names something, and that something is a folder, or a video
// or animated image, which the express conversion takes. A failure
// answers the fixed message as its reason and keeps the settings as they
// were. Main thread only.
class SettingsValidator {
public:
    // The three quality presets: slider values, and nothing else.
    static constexpr double kLowPreset = 0.25;
    static constexpr double kHighPreset = 0.5;
    static constexpr double kVeryHighPreset = 0.75;

    SettingsValidator();

    Result<ConversionSettings> validate(const FrontEndInputs& inputs);
    const ConversionSettings& settings() const { return settings_; }

    // 100 kbit/s at slider 0.0 up to 4100 at 1.0, truncated toward zero.
    static qint64 rateForSlider(double sliderValue);

    // The programs a conversion runs; the staged tools by default.
    void setConvertPath(const QString& path) { settings_.convertPath = path; }
    void setFfmpegPath(const QString& path) { settings_.ffmpegPath = path; }
    void setFfprobePath(const QString& path) { settings_.ffprobePath = path; }

private:
    ConversionSettings settings_;
};

} // namespace zev
