#include "OutputArguments.h"

#include "ParamName.h"

#include <QCommandLineParser>
#include <QDir>
#include <gtest/gtest.h>

using namespace zev;

namespace {

Result<OutputOptions> parse(const QStringList& arguments) {
    const OutputArguments output;
    QCommandLineParser parser;
    const QCommandLineOption express(QStringLiteral("express"));
    const QCommandLineOption preset(QStringLiteral("preset"), QString(), QStringLiteral("NAME"));
    parser.addOptions({express, preset});
    parser.addOptions(output.options());
    if (!parser.parse(QStringList{QStringLiteral("zev-cli")} + arguments))
        return Result<OutputOptions>::failure(parser.errorText());
    return output.read(parser, parser.isSet(express), parser.isSet(preset));
}

OutputOptions expected(OutputOptions::Layout layout, OutputOptions::MaskSize size, bool premultiplied,
                       int fit = 0, std::optional<int> crf = std::nullopt,
                       std::optional<int> gap = std::nullopt, bool describe = false) {
    OutputOptions options;
    options.layout = layout;
    options.maskSize = size;
    options.premultiplied = premultiplied;
    options.fit = fit;
    options.crf = crf;
    options.gap = gap;
    options.describe = describe;
    return options;
}

OutputOptions encoded(VideoFormat format, std::optional<int> crf = std::nullopt, const QString& audio = {},
                      qint64 maxBytes = 0) {
    OutputOptions options;
    options.maxBytes = maxBytes;
    options.format = format;
    options.crf = crf;
    options.audioFile = audio;
    return options;
}

using Codec = VideoFormat::Codec;
using Container = VideoFormat::Container;

struct ChosenCase {
    const char* title;
    QStringList arguments;
    OutputOptions options;
};

class Chosen : public testing::TestWithParam<ChosenCase> {};

TEST_P(Chosen, BecomeTheOptions) {
    const Result<OutputOptions> read = parse(GetParam().arguments);
    ASSERT_TRUE(read.ok()) << read.reason().toStdString();
    EXPECT_EQ(*read, GetParam().options);
}

using L = OutputOptions::Layout;
using S = OutputOptions::MaskSize;

INSTANTIATE_TEST_SUITE_P(
    OutputArgumentsTest, Chosen,
    testing::Values(
        ChosenCase{"nothing", {}, OutputOptions()},
        ChosenCase{"describe_without_express",
                   {"--describe"},
                   expected(L::MaskLeft, S::Full, true, 0, {}, {}, true)},
        ChosenCase{"stacked_half_straight",
                   {"--express", "--layout", "mask-bottom", "--mask-size", "half", "--colour", "straight"},
                   expected(L::MaskBottom, S::Half, false)},
        ChosenCase{"fit_crf_gap",
                   {"--express", "--layout=mask-top", "--fit", "1920", "--crf", "0", "--gap", "16"},
                   expected(L::MaskTop, S::Full, true, 1920, 0, 16)},
        ChosenCase{
            "vp9_goes_in_webm", {"--express", "--codec", "vp9"}, encoded(VideoFormat::forCodec(Codec::Vp9))},
        ChosenCase{"av1_in_webm_at_its_own_crf",
                   {"--express", "--codec", "av1", "--container", "webm", "--crf", "63"},
                   encoded({Codec::Av1, Container::Webm}, 63)},
        ChosenCase{
            "h265_with_sound_from_here",
            {"--express", "--codec=h265", "--audio", "a b/s.wav"},
            encoded(VideoFormat::forCodec(Codec::H265), std::nullopt, QDir::currentPath() + "/a b/s.wav")},
        ChosenCase{"budget_in_kibibytes", {"--express", "--max-size", "300k"}, encoded({}, {}, {}, 307200)}),
    ParamName());

struct RefusedCase {
    const char* title;
    QStringList arguments;
    const char* problem;
};

class Refused : public testing::TestWithParam<RefusedCase> {};

TEST_P(Refused, WithTheProblemNamed) {
    const Result<OutputOptions> read = parse(GetParam().arguments);
    ASSERT_FALSE(read.ok());
    EXPECT_TRUE(read.reason().contains(QString::fromUtf8(GetParam().problem))) << read.reason().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    OutputArgumentsTest, Refused,
    testing::Values(
        RefusedCase{"layout_without_express", {"--layout", "mask-right"}, "need --express"},
        RefusedCase{"crf_without_express", {"--crf", "23"}, "need --express"},
        RefusedCase{"unknown_layout", {"--express", "--layout", "diagonal"}, "'diagonal'"},
        RefusedCase{"unknown_mask_size", {"--express", "--mask-size", "quarter"}, "'quarter'"},
        RefusedCase{"unknown_colour", {"--express", "--colour", "linear"}, "'linear'"},
        RefusedCase{"crf_above_51", {"--express", "--crf", "52"}, "not '52'"},
        RefusedCase{"crf_and_preset", {"--express", "--crf", "20", "--preset", "best"}, "not both"},
        RefusedCase{"odd_gap", {"--express", "--gap", "7"}, "not '7'"},
        RefusedCase{"tiny_fit", {"--express", "--fit", "10"}, "not '10'"},
        RefusedCase{"codec_without_express", {"--codec", "av1"}, "need --express"},
        RefusedCase{"unknown_codec", {"--express", "--codec", "mpeg2"}, "'mpeg2'"},
        RefusedCase{"h264_in_webm", {"--express", "--container", "webm"}, "h264 does not go in webm"},
        RefusedCase{"vp9_crf_above_63", {"--express", "--codec", "vp9", "--crf", "64"}, "0 to 63 for vp9"},
        RefusedCase{"empty_sound", {"--express", "--audio="}, "takes a sound file"},
        RefusedCase{
            "max_size_and_quality", {"--express", "--max-size", "500k", "--quality", "40"}, "not both"},
        RefusedCase{"max_size_and_crf", {"--express", "--max-size", "1M", "--crf", "20"}, "leave out"},
        RefusedCase{"max_size_of_nothing", {"--express", "--max-size", "0"}, "not '0'"},
        RefusedCase{"quality_beyond_reach", {"--express", "--quality", "61"}, "not '61'"}),
    ParamName());

struct SizeCase {
    const char* text;
    std::optional<qint64> bytes;
};

TEST(OutputArgumentsTest, SizesCountInBytesWithBinaryUnits) {
    const SizeCase cases[] = {{"250000", 250000},     {"500k", 512000},      {"500K", 512000},
                              {"1.5M", 1572864},      {" 2m ", 2097152},     {"0.5k", 512},
                              {"12.5", 13},           {"1e6", std::nullopt}, {"-5k", std::nullopt},
                              {"5 kB", std::nullopt}, {"", std::nullopt}};
    for (const SizeCase& test : cases) {
        SCOPED_TRACE(test.text);
        EXPECT_EQ(OutputArguments::byteCount(QString::fromUtf8(test.text)), test.bytes);
    }
}

} // namespace
