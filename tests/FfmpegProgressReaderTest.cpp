#include "tools/FfmpegProgressReader.h"

#include <QList>
#include <gtest/gtest.h>

using namespace zev;

namespace {

struct ReadCase {
    const char* title;
    QList<QByteArray> pieces;
    qint64 frames;
};

class Pieces : public ::testing::TestWithParam<ReadCase> {};

TEST_P(Pieces, GiveTheLatestWholeCount) {
    FfmpegProgressReader reader;
    for (const QByteArray& piece : GetParam().pieces)
        reader.feed(piece);
    EXPECT_EQ(reader.frames(), GetParam().frames);
}

INSTANTIATE_TEST_SUITE_P(
    FfmpegProgressReader, Pieces,
    ::testing::Values(ReadCase{"banner_only", {"ffmpeg version 5.1\nInput #0, image2\n"}, -1},
                      ReadCase{"one_report", {"frame=   12 fps=0.0 q=0.0 size=0kB\r"}, 12},
                      ReadCase{"latest_of_several", {"frame=    1 fps=0\rframe=   25 fps=24\r"}, 25},
                      // "12" of a count cut in two must not be taken for the count.
                      ReadCase{"count_cut_in_two", {"frame=    9 q=1\rframe=  12", "0 fps=30\r"}, 120},
                      ReadCase{"unfinished_report_waits", {"frame=    9 q=1\rframe=  12"}, 9},
                      ReadCase{"final_line_ends_with_newline", {"frame=  250 fps=99 Lsize=  10kB\n"}, 250},
                      ReadCase{"no_digits", {"frame= fps=0\r"}, -1}),
    [](const auto& instance) { return std::string(instance.param.title); });

} // namespace
