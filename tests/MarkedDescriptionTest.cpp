#include "output/MarkedDescription.h"

#include "ParamName.h"
#include "output/PackedLayout.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

MarkedDescription described() {
    OutputOptions options;
    options.maskSize = OutputOptions::MaskSize::Half;
    return MarkedDescription::of(PackedLayout::plan(QSize(64, 48), options), 25, true);
}

QByteArray between(const QByteArray& marked) {
    return marked.mid(MarkedDescription::kOpening.size(), marked.size() - MarkedDescription::kOpening.size() -
                                                              MarkedDescription::kClosing.size());
}

TEST(MarkedDescriptionTest, ComesBackFromItsMarkedText) {
    const MarkedDescription description = described();
    const QByteArray marked = description.marked();
    ASSERT_TRUE(marked.startsWith(MarkedDescription::kOpening));
    ASSERT_TRUE(marked.endsWith(MarkedDescription::kClosing));
    const Result<MarkedDescription> read = MarkedDescription::fromMarkedText(between(marked));
    ASSERT_TRUE(read.ok()) << read.reason().toStdString();
    EXPECT_EQ(*read, description);
    // As a player inflates it: qUncompress takes zlib's format after four
    // bytes of the size.
    const QByteArray json = qUncompress(QByteArray(4, '\0') + QByteArray::fromBase64(between(marked)));
    EXPECT_EQ(json, description.toJson());
    EXPECT_TRUE(json.contains("\"hasAudio\":true"));
    EXPECT_TRUE(json.contains("\"effect\":[]"));
}

struct FindCase {
    const char* title;
    QByteArray bytes;
    qsizetype at;
    bool closed;
};

class Finding : public testing::TestWithParam<FindCase> {};

TEST_P(Finding, TakesTheTextBetweenTheFirstMarkers) {
    const FindCase& c = GetParam();
    const std::optional<MarkedDescription::Found> found = MarkedDescription::find(c.bytes);
    ASSERT_EQ(found.has_value(), c.at >= 0);
    if (!found)
        return;
    EXPECT_EQ(found->at, c.at);
    EXPECT_EQ(found->closed, c.closed);
    if (c.closed) {
        EXPECT_EQ(found->text, "abc");
    }
}

INSTANTIATE_TEST_SUITE_P(
    MarkedDescriptionTest, Finding,
    testing::Values(FindCase{"none", "free box bytes", -1, false},
                    FindCase{"amid_bytes",
                             QByteArray("\0\1mdat", 6) + "yyeffectmp4json[[abc]]yyeffectmp4json tail", 6,
                             true},
                    FindCase{"first_of_two",
                             "yyeffectmp4json[[abc]]yyeffectmp4json yyeffectmp4json[[x]]yyeffectmp4json", 0,
                             true},
                    FindCase{"unclosed", "yyeffectmp4json[[abc", 0, false}),
    ParamName());

struct TextCase {
    const char* title;
    QByteArray text;
    const char* reason;
};

class BadTexts : public testing::TestWithParam<TextCase> {};

TEST_P(BadTexts, AreNoDescription) {
    const TextCase& c = GetParam();
    const Result<MarkedDescription> read = MarkedDescription::fromMarkedText(c.text);
    ASSERT_FALSE(read.ok());
    EXPECT_TRUE(read.reason().contains(c.reason)) << read.reason().toStdString();
}

QByteArray encoded(const QByteArray& json) {
    return MarkedDescription::deflate(json).toBase64();
}

INSTANTIATE_TEST_SUITE_P(
    MarkedDescriptionTest, BadTexts,
    testing::Values(TextCase{"not_base64", "@@@not base64@@@", "not base64"},
                    TextCase{"zlib_cut_short",
                             MarkedDescription::deflate(described().toJson()).chopped(6).toBase64(),
                             "not zlib"},
                    // A few kilobytes that inflate to megabytes are not inflated to the end.
                    TextCase{"inflates_too_far", encoded(QByteArray(4 << 20, ' ')), "not zlib"},
                    TextCase{"too_long", QByteArray(MarkedDescription::kMaxMarkedBytes + 1, 'A'), "too long"},
                    TextCase{"region_outside",
                             encoded("{\"descript\":{\"width\":64,\"height\":48,\"rgbFrame\":[0,0,"
                                     "64,48],\"alphaFrame\":[40,0,32,48]}}"),
                             "do not lie inside"},
                    TextCase{"no_size",
                             encoded("{\"descript\":{\"rgbFrame\":[0,0,8,8],\"alphaFrame\":[8,0,8,8]}}"),
                             "no video size"}),
    ParamName());

} // namespace
