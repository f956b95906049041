#include "output/PlayerTarget.h"

#include "ParamName.h"
#include "output/PlayerTargets.h"

#include <functional>
#include <gtest/gtest.h>

using namespace zev;

namespace {

using Verdict = PlayerTarget::Verdict;

// The video the target's own options make of 64 × 48 frames.
VideoTraits madeFor(const char* name) {
    const PlayerTarget* target = PlayerTargets::find(QString::fromLatin1(name));
    return VideoTraits::planned(PackedLayout::plan(QSize(64, 48), target->options), target->options);
}

struct CheckCase {
    const char* title;
    const char* target;
    std::function<void(VideoTraits&)> change;
    Verdict verdict;
    const char* reason; // empty: none
};

class Checks : public testing::TestWithParam<CheckCase> {};

TEST_P(Checks, NameWhyAVideoDoesNotPlay) {
    const CheckCase& c = GetParam();
    const PlayerTarget* target = PlayerTargets::find(QString::fromLatin1(c.target));
    ASSERT_NE(target, nullptr);
    VideoTraits video = madeFor(c.target);
    c.change(video);
    const PlayerTarget::Check check = target->check(video);
    EXPECT_EQ(check.verdict, c.verdict) << check.reasons.join("; ").toStdString();
    if (*c.reason)
        EXPECT_TRUE(check.reasons.join("; ").contains(c.reason)) << check.reasons.join("; ").toStdString();
    else
        EXPECT_TRUE(check.reasons.isEmpty()) << check.reasons.join("; ").toStdString();
}

VideoTraits defaultVideo(QSize frame = {64, 48}) {
    return VideoTraits::planned(PackedLayout::plan(frame, OutputOptions()), OutputOptions());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    PlayerTargetTest, Checks,
    testing::Values(
        CheckCase{"premultiplied_for_straight", "side-mask", [](VideoTraits& v) { v.premultiplied = true; },
                  Verdict::DoesNotPlay, "premultiplied colour: this player expects straight"},
        CheckCase{"straight_for_premultiplied", "gift-marked", [](VideoTraits& v) { v.premultiplied = false; },
                  Verdict::DoesNotPlay, "straight colour: this player draws premultiplied colour only"},
        CheckCase{"colour_mode_unknown", "engine-side", [](VideoTraits& v) { v.premultiplied.reset(); },
                  Verdict::MayPlay, "not written"},
        CheckCase{"binary_alpha_shows_no_mode", "engine-side",
                  [](VideoTraits& v) { v.premultiplied = true; v.colourModeShows = false; }, Verdict::Plays, ""},
        CheckCase{"h264_for_novels", "side-mask", [](VideoTraits& v) { v.codec = "h264"; v.container = "mp4"; },
                  Verdict::DoesNotPlay, "H.264 video: this player plays VP9, AV1 or VP8 only"},
        CheckCase{"webm_for_gifts", "gift-marked", [](VideoTraits& v) { v.container = "webm"; v.descriptions = {}; },
                  Verdict::DoesNotPlay, "WebM file: this player reads MP4 only"},
        CheckCase{"default_layout_for_stacked", "stacked-web", [](VideoTraits& v) { v = defaultVideo(); v.codec = "av1"; },
                  Verdict::DoesNotPlay, "not colour above and alpha below"},
        CheckCase{"halves_without_markers", "gift-marked", [](VideoTraits& v) { v.descriptions = {}; },
                  Verdict::Plays, ""},
        CheckCase{"half_mask_without_markers", "gift-marked",
                  [](VideoTraits& v) { v = madeFor("gift-box"); v.descriptions = {}; },
                  Verdict::DoesNotPlay, "no yyeffectmp4json description"},
        CheckCase{"engine_halves_not_whole_blocks", "engine-side",
                  [](VideoTraits& v) { v.packed = {120, 44}; v.colourRect = {0, 0, 60, 44}; v.maskRect = {60, 0, 60, 44}; },
                  Verdict::DoesNotPlay, "120×44: not a multiple of 16 pixels"},
        CheckCase{"engine_halves_misplaced", "engine-side",
                  [](VideoTraits& v) { v.maskRect.translate(8, 0); }, Verdict::DoesNotPlay, "exact halves"}),
    ParamName());
// clang-format on

// Options chosen over a target's: the misfits name what no longer fits.
TEST(PlayerTargetTest, MisfitsOfChosenOptions) {
    const PlayerTarget& giftBox = *PlayerTargets::find("gift-box");
    EXPECT_TRUE(giftBox.misfits(giftBox.options).isEmpty());
    OutputOptions chosen = giftBox.options;
    chosen.premultiplied = false;
    chosen.players.vapcBox = false;
    const QStringList misfits = giftBox.misfits(chosen);
    EXPECT_EQ(misfits.size(), 2) << misfits.join("; ").toStdString();
    EXPECT_TRUE(misfits.join("; ").contains("no description box after ftyp"));
    EXPECT_TRUE(misfits.join("; ").contains("straight colour"));
}

// The default target is the specified default output, and every target's
// own options make a video it plays.
TEST(PlayerTargetTest, DefaultTargetIsTheDefaultOutputAndEveryTargetPlaysItsOwn) {
    OutputOptions defaults = PlayerTargets::defaultTarget().options;
    EXPECT_EQ(defaults.target, "default");
    defaults.target.clear();
    EXPECT_EQ(defaults, OutputOptions());
    for (const PlayerTarget& target : PlayerTargets::all()) {
        EXPECT_TRUE(target.misfits(target.options).isEmpty()) << target.name.toStdString();
        EXPECT_FALSE(target.title().isEmpty());
        EXPECT_EQ(target.options.target, target.name);
    }
    EXPECT_EQ(PlayerTargets::find("no-such-player"), nullptr);
}

} // namespace
