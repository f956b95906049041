#include "PipelineRun.h"

#include "Cancellation.h"
#include "ConversionController.h"
#include "FfmpegProgressReader.h"

#include <algorithm>

PipelineRun::PipelineRun(ConversionSettings settings, const Cancellation& cancellation,
                         ConversionObserver* observer)
    : settings_(std::move(settings))
    , cancellation_(cancellation)
    , observer_(observer) {}

ConversionOutcome PipelineRun::failed(const Result& why) {
    return ConversionOutcome::failure(ConversionController::kConversionFailed, why);
}

bool PipelineRun::cancelled() const {
    return cancellation_.isRequested();
}

void PipelineRun::reportStage(Stage stage, qint64 total) const {
    if (observer_)
        observer_->stageStarted(stage, total);
}

void PipelineRun::reportFrames(Stage stage, qint64 done, qint64 total) const {
    if (observer_)
        observer_->framesDone(stage, done, total);
}

ToolRunOptions PipelineRun::toolOptions() const {
    ToolRunOptions options;
    options.cancellation = &cancellation_;
    options.log = log_;
    return options;
}

ToolRunOptions PipelineRun::encodingOptions(FfmpegProgressReader& reader, qint64 outputFrames) const {
    ToolRunOptions options = toolOptions();
    options.standardErrorReceived = [this, &reader, outputFrames](const QByteArray& piece) {
        const qint64 before = reader.frames();
        const qint64 now = reader.feed(piece);
        if (now != before)
            reportFrames(Stage::Encoding, std::min(now, outputFrames), outputFrames);
    };
    return options;
}
