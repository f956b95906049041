#pragma once

#include "core/Result.h"
#include "output/PackedLayout.h"
#include "pipeline/ConversionObserver.h"
#include "pipeline/ConversionOutcome.h"
#include "pipeline/ConversionSettings.h"
#include "pipeline/PipelineRun.h"
#include "pipeline/RateChoice.h"
#include "pipeline/RateSearch.h"
#include "tools/ExpressEncoder.h"
#include "tools/ToolRunner.h"

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace zev {

class Cancellation;
class PendingVideo;
class RunLog;

// The express conversion: the same checks and messages as ConversionDriver,
// then one ffmpeg run (ExpressEncoder) straight from the frames to the
// video in the chosen codec and container, without ImageMagick or copies of
// the frames (and, with a sound file, a second short run that muxes it), and
// the same reading back of the video before it is announced. It reports one
// stage, encoding, counted in output frames.
//
// A media source (a video or animated image with transparency) is probed
// first and refused before anything is encoded when it has no alpha; ffmpeg
// then reads it directly, with the decoder that keeps its alpha, and its
// video is named after it.
//
// Like every run it holds the source's lock; its links (FrameLinkFolder)
// live in a scratch folder of the run's own. The video is written under a
// temporary name and only replaces the previous one (zev.mp4 or zev.webm,
// or the media source's) once complete and verified (PendingVideo).
//
// With a size budget or a quality target, trial encodes (each the whole
// run up to the video that would be committed) choose the CRF (RateSearch);
// the chosen trial is then verified and committed as any video is, and the
// outcome says what was chosen (RateChoice).
class ExpressDriver : public PipelineRun {
    Q_DECLARE_TR_FUNCTIONS(ExpressDriver)

public:
    ExpressDriver(ConversionSettings settings, const Cancellation& cancellation,
                  ConversionObserver* observer = nullptr);

    // How a quality target's trials are measured, as --check measures a
    // video; without it a quality target is refused.
    void measureTrialsWith(TrialMeasure measure) { measure_ = std::move(measure); }

    // A codec's CRF scale for the search.
    static RateSearch::Scale crfScale(VideoFormat::Codec codec);

private:
    // One encoding made whole: the encoder's video, the one with the sound
    // and the one described for players, as far as each is made; last is
    // the one to verify and commit.
    struct Product {
        std::unique_ptr<PendingVideo> encoded;
        std::unique_ptr<PendingVideo> withSound;
        std::unique_ptr<PendingVideo> described;
        PendingVideo* last = nullptr;
        ExpectedVideo expected{};
    };
    using Made = Result<std::unique_ptr<Product>>;

    ConversionOutcome convert() override;
    ConversionOutcome convertMedia();
    // input: what ffmpeg reads and the frames it makes; straightening: the
    // filter that makes a premultiplied source's colour straight first;
    // frameCount: the frames of a folder, counted again after the run.
    ConversionOutcome encode(const ExpressEncoder::Encoding& input, const QString& straightening,
                             const PackedLayout& layout, qint64 frameCount);
    // The whole run's video at a CRF (or the options' rate); a trial's
    // files are named after it ("trial3").
    Made make(const PackedLayout& layout, std::optional<double> crf, const QString& trial);
    // The trial encodes for the budget or target; the chosen one, or the
    // refusal naming what came nearest.
    Made search(const PackedLayout& layout, std::optional<RateChoice>& choice);
    Result<RateSearch::Trial> tryOut(RateSearch& search, const Product& trial, double setting,
                                     const PackedLayout& layout);
    static QString refusal(const RateSearch& search, const RateSearch::Trial& closest);
    Result<> runFfmpeg(const QString& videoFile, const PackedLayout& layout, std::optional<double> crf);
    // Muxes the sound file with the encoded video as the video's one sound
    // track of seconds.
    Result<> muxSound(const QString& encodedFile, double seconds, const QString& videoFile);
    // A sound file that cannot be read, or holds no sound, is refused
    // before anything is encoded.
    Result<> checkSound() const;
    // The layout for the frames and the options, or why it cannot be encoded.
    Result<PackedLayout> planLayout();

    // What ffmpeg reads, and how, for every encoding of the run.
    ExpressEncoder::Encoding source_;
    QString straightening_;
    qint64 sourceFrames_ = 0;
    TrialMeasure measure_;
    // A quality target's figures of each trial, by its setting.
    std::vector<std::pair<double, TrialQuality>> measured_;
};

} // namespace zev
