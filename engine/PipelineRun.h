#pragma once

#include "ConversionObserver.h"
#include "ConversionOutcome.h"
#include "ConversionSettings.h"
#include "Result.h"
#include "ToolRunner.h"

class Cancellation;
class FfmpegProgressReader;
class RunLog;

// What every pipeline's driver has while it runs: its settings, the request
// to stop, where its progress goes and the log of its run. The drivers derive
// from it for the helpers they would otherwise each repeat.
class PipelineRun {
protected:
    using Stage = ConversionObserver::Stage;

    PipelineRun(ConversionSettings settings, const Cancellation& cancellation, ConversionObserver* observer);

    // The conversion failed after its folder passed the checks.
    static ConversionOutcome failed(const Result& why);

    bool cancelled() const;
    void reportStage(Stage stage, qint64 total) const;
    void reportFrames(Stage stage, qint64 done, qint64 total) const;
    // Every tool run can be stopped and is logged.
    ToolRunOptions toolOptions() const;
    // The same, and ffmpeg's frame reports (read into reader) become the
    // encoding stage's progress.
    ToolRunOptions encodingOptions(FfmpegProgressReader& reader, qint64 outputFrames) const;

    const ConversionSettings settings_;
    const Cancellation& cancellation_;
    ConversionObserver* observer_;
    RunLog* log_ = nullptr;
};
