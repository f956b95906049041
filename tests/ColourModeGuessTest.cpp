#include "preview/ColourModeGuess.h"

#include "ParamName.h"

#include <functional>
#include <gtest/gtest.h>

using namespace zev;

namespace {

constexpr int kSide = 32;

// A packed frame of a mask on the left and colour on the right, from what
// each source pixel's alpha and colour are.
PackedFrame packed(const std::function<int(int x)>& alpha, const std::function<int(int x, int a)>& colour) {
    PackedFrame frame{2 * kSide, kSide, 0, QByteArray(PackedFrame::byteCount(2 * kSide, kSide), '\0')};
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const int a = alpha(x);
            auto* mask = reinterpret_cast<uchar*>(frame.rgb.data()) + (y * 2 * kSide + x) * 3;
            mask[0] = mask[1] = mask[2] = uchar(a);
            auto* rgb = mask + kSide * 3;
            rgb[0] = uchar(colour(x, a));
        }
    }
    return frame;
}

struct GuessCase {
    const char* title;
    std::function<int(int)> alpha;
    std::function<int(int, int)> colour;
    ColourModeGuess::Mode mode;
};

class Guesses : public testing::TestWithParam<GuessCase> {};

TEST_P(Guesses, TellTheModeFromThePixels) {
    const GuessCase& c = GetParam();
    ColourModeGuess guess;
    guess.add(packed(c.alpha, c.colour), QRect(kSide, 0, kSide, kSide), QRect(0, 0, kSide, kSide));
    EXPECT_EQ(guess.mode(), c.mode);
}

const auto kRamp = [](int x) { return x * 255 / (kSide - 1); };

INSTANTIATE_TEST_SUITE_P(
    ColourModeGuessTest, Guesses,
    testing::Values(GuessCase{"bright_premultiplied", kRamp, [](int, int a) { return a; },
                              ColourModeGuess::Mode::Premultiplied},
                    GuessCase{"bright_straight", kRamp, [](int, int) { return 250; },
                              ColourModeGuess::Mode::Straight},
                    // Straight colour kept where the frame is clear, as other tools leave it.
                    GuessCase{"straight_under_clear", [](int x) { return x < kSide / 2 ? 0 : 255; },
                              [](int, int) { return 200; }, ColourModeGuess::Mode::Straight},
                    GuessCase{"opaque_or_clear", [](int x) { return x < kSide / 2 ? 0 : 255; },
                              [](int, int a) { return a; }, ColourModeGuess::Mode::NotShown},
                    GuessCase{"dark_colour_does_not_tell", kRamp, [](int, int) { return 10; },
                              ColourModeGuess::Mode::Unknown}),
    ParamName());

TEST(ColourModeGuessTest, NothingSeenIsUnknown) {
    ColourModeGuess guess;
    guess.add(PackedFrame{8, 8, 0, QByteArray(PackedFrame::byteCount(8, 8), '\0')}, QRect(4, 0, 8, 8),
              QRect(0, 0, 4, 8));
    EXPECT_EQ(guess.mode(), ColourModeGuess::Mode::Unknown);
}

} // namespace
