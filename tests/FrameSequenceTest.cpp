#include "frames/FrameSequence.h"

#include "ParamName.h"
#include "TemporaryFolder.h"
#include "core/UserTexts.h"
#include "frames/FrameFolderScanner.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace zev;

namespace {

struct SequenceCase {
    const char* title;
    QStringList files;
    // The frames in the order taken; empty when refused.
    QStringList frames;
    QString message;
    // Words the refusal's reason must hold.
    QStringList reasonNames;
};

QStringList names(const QStringList& paths) {
    QStringList result;
    for (const QString& path : paths)
        result.append(QFileInfo(path).fileName());
    return result;
}

class Sequences : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(Sequences, TakesOnePrefixCountingUpOrSaysWhichNamesBreakIt) {
    const SequenceCase& c = GetParam();
    TemporaryFolder folder;
    for (const QString& file : c.files)
        folder.touch(file, "x");
    const Result<QStringList, FrameSequence::Refusal> scanned = FrameSequence::scan(folder.path());
    if (c.message.isEmpty()) {
        ASSERT_TRUE(scanned) << scanned.failure().reason.toStdString();
        EXPECT_EQ(names(*scanned), c.frames);
        EXPECT_EQ(scanned->first(), folder.path() + u'/' + c.frames.first());
        return;
    }
    ASSERT_FALSE(scanned);
    EXPECT_EQ(scanned.failure().message, c.message);
    for (const QString& word : c.reasonNames)
        EXPECT_TRUE(scanned.failure().reason.contains(word)) << scanned.failure().reason.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    FrameSequenceTest, Sequences,
    ::testing::Values(
        SequenceCase{"ZeroPaddedWithPrefix",
                     {"comp_00002.png", "comp_00000.png", "comp_00001.png", "notes.txt", "comp.PNG"},
                     {"comp_00000.png", "comp_00001.png", "comp_00002.png"},
                     {},
                     {}},
        SequenceCase{"BareNumbersFromAnyNumber", {"1001.png", "1000.png"}, {"1000.png", "1001.png"}, {}, {}},
        SequenceCase{"PaddingThatGrows",
                     {"f_099.png", "f_100.png", "f_98.png"},
                     {"f_98.png", "f_099.png", "f_100.png"},
                     {},
                     {}},
        SequenceCase{"Gap",
                     {"comp_00000.png", "comp_00001.png", "comp_00003.png"},
                     {},
                     UserTexts::kFramesNotConsecutive,
                     {"frame 2 ", "comp_00003.png", "comp_00001.png"}},
        SequenceCase{"OneNumberTwice",
                     {"comp_1.png", "comp_01.png", "comp_2.png"},
                     {},
                     UserTexts::kFramesNotConsecutive,
                     {"comp_01.png", "comp_1.png", "frame 1"}},
        SequenceCase{"MixedPrefixes",
                     {"comp_0.png", "comp_1.png", "shot_2.png"},
                     {},
                     FrameFolderScanner::kNotNumbered,
                     {"comp_0.png", "shot_2.png"}},
        SequenceCase{"NumberTooLongForAFrame",
                     {"1234567890123456789.png"},
                     {},
                     FrameFolderScanner::kNotNumbered,
                     {"1234567890123456789.png"}}),
    ParamName());

} // namespace
