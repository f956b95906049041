#include "tools/ImageStages.h"

#include "RecordedCalls.h"
#include "RecordingTest.h"
#include "TemporaryFolder.h"
#include "ToolProbe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <gtest/gtest.h>

using namespace zev;

namespace {

QStringList framePaths(const QString& folder, const QStringList& names) {
    QStringList paths;
    for (const QString& name : names)
        paths.append(folder + u'/' + name);
    return paths;
}

QStringList numberedNames(int count) {
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(QStringLiteral("%1.png").arg(i));
    return names;
}

// The stages run the recorder in place of convert; it only records.
class ImageStagesRecorded : public RecordingTest {};

TEST_F(ImageStagesRecorded, AlphaBatchOfTwentyIsOneRun) {
    const QStringList frames = framePaths("/frames dir", numberedNames(20));
    EXPECT_TRUE(ImageStages::extractImageAlpha(recorder, frames, "/tmp/zev-1/alphaImages"));
    const QStringList expected = QStringList{"-alpha", "extract"} + frames +
                                 QStringList{"-set", "filename:basename", "%[basename]",
                                             "/tmp/zev-1/alphaImages/%[filename:basename].png"};
    ASSERT_EQ(expected.size(), 26);
    EXPECT_EQ(recorded(), QList<QStringList>{expected});
    EXPECT_EQ(ImageStages::alphaArguments(frames, "/tmp/zev-1/alphaImages"), expected);
}

TEST_F(ImageStagesRecorded, ColourBatchOfTwentyIsOneRun) {
    const QStringList frames = framePaths("/frames", numberedNames(20));
    EXPECT_TRUE(ImageStages::extractImageRGB(recorder, frames, "/tmp/zev-1/rgbImages/"));
    const QStringList expected = QStringList{"-background", "black", "-alpha", "remove"} + frames +
                                 QStringList{"-set", "filename:basename", "%[basename]",
                                             "/tmp/zev-1/rgbImages/%[filename:basename].png"};
    ASSERT_EQ(expected.size(), 28);
    EXPECT_EQ(recorded(), QList<QStringList>{expected});
}

TEST_F(ImageStagesRecorded, ExtractionWithoutFramesOrFolderRunsNothing) {
    const QStringList frames{"/f/0.png"};
    EXPECT_TRUE(ImageStages::extractImageAlpha(recorder, {}, "/out"));
    EXPECT_TRUE(ImageStages::extractImageAlpha(recorder, frames, ""));
    EXPECT_TRUE(ImageStages::extractImageAlpha(recorder, frames, QString()));
    EXPECT_TRUE(ImageStages::extractImageRGB(recorder, {}, "/out"));
    EXPECT_TRUE(ImageStages::extractImageRGB(recorder, frames, ""));
    EXPECT_TRUE(recorded().isEmpty());
}

// A failed run can leave files that look like images, so every stage says
// whether all of its runs succeeded.
TEST_F(ImageStagesRecorded, StagesAnswerWhetherEveryRunSucceeded) {
    const QStringList frames{"/f/0.png", "/f/1.png"};
    const QStringList masks{"/a/0.png", "/a/1.png"};
    EXPECT_TRUE(ImageStages::extractImageAlpha(recorder, frames, "/out"));
    EXPECT_TRUE(ImageStages::appendImages(recorder, masks, frames, "/out"));
    EXPECT_TRUE(ImageStages::extractImageRGB(recorder, {}, "/out")) << "nothing to run is no failure";

    qputenv("ZEV_RECORD_EXIT", "1");
    EXPECT_FALSE(ImageStages::extractImageAlpha(recorder, frames, "/out"));
    EXPECT_FALSE(ImageStages::extractImageRGB(recorder, frames, "/out"));
    EXPECT_FALSE(ImageStages::appendImages(recorder, masks, frames, "/out"));
    EXPECT_FALSE(ImageStages::extractImageAlpha(folder.filePath("no-such-program"), frames, "/out"));
}

struct PackedNameCase {
    QString frame;
    QString packed;
};

void PrintTo(const PackedNameCase& c, std::ostream* out) {
    *out << c.frame.toStdString();
}

class PackedNames : public ImageStagesRecorded, public ::testing::WithParamInterface<PackedNameCase> {};

TEST_P(PackedNames, NamedByFrameNumber) {
    const PackedNameCase c = GetParam();
    const QString mask = "/scratch/alphaImages/" + c.frame;
    const QString colour = "/scratch/rgbImages/" + c.frame;
    EXPECT_TRUE(ImageStages::appendImages(recorder, {mask}, {colour}, "/scratch/appendImages"));
    const QStringList expected{"+append", mask, colour, "/scratch/appendImages/" + c.packed};
    EXPECT_EQ(recorded(), QList<QStringList>{expected});
}

INSTANTIATE_TEST_SUITE_P(
    ImageStages, PackedNames,
    ::testing::Values(PackedNameCase{"7.png", "00007.png"}, PackedNameCase{"007.png", "00007.png"},
                      PackedNameCase{"0.png", "00000.png"}, PackedNameCase{"99999.png", "99999.png"},
                      PackedNameCase{"123456.png", "123456.png"}),
    [](const auto& instance) { return "frame" + instance.param.frame.chopped(4).toStdString(); });

TEST_F(ImageStagesRecorded, PackingStopsAtFirstMismatchedName) {
    QStringList masks = framePaths("/a", numberedNames(6));
    const QStringList colours = framePaths("/c", numberedNames(6));
    masks[3] = "/a/30.png";
    EXPECT_TRUE(ImageStages::appendImages(recorder, masks, colours, "/p"));
    const QList<QStringList> packingCalls = recorded();
    ASSERT_EQ(packingCalls.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(packingCalls[i], ImageStages::packingArguments(masks[i], colours[i],
                                                                 QStringLiteral("/p/0000%1.png").arg(i)));
}

TEST_F(ImageStagesRecorded, PackingNeedsListsOfEqualLength) {
    const QStringList three = framePaths("/a", numberedNames(3));
    EXPECT_TRUE(ImageStages::appendImages(recorder, three, three.mid(0, 2), "/p"));
    EXPECT_TRUE(ImageStages::appendImages(recorder, three.mid(0, 2), three, "/p"));
    EXPECT_TRUE(ImageStages::appendImages(recorder, {}, {}, "/p"));
    EXPECT_TRUE(ImageStages::appendImages(recorder, {}, three, "/p"));
    EXPECT_TRUE(recorded().isEmpty());
}

// The real ImageMagick, through the staged launcher, on frames of three
// columns: opaque red, blue at half transparency, fully transparent green.
class ImageStagesReal : public ::testing::Test {
protected:
    TemporaryFolder folder;
    static constexpr int kColumn = 4;
    static constexpr int kHeight = 3;

    bool writeFrame(const QString& path) {
        const QString size = QStringLiteral("%1x%2").arg(kColumn).arg(kHeight);
        return ToolProbe::output(ToolProbe::stagedConvert(),
                                 {"-size", size, "xc:rgba(255,0,0,1)", "xc:rgba(0,0,255,0.5)",
                                  "xc:rgba(0,255,0,0)", "+append", "PNG32:" + path})
            .has_value();
    }

    QStringList writeFrames(const QString& frameFolder, const QStringList& names) {
        QDir().mkpath(frameFolder);
        const QStringList paths = framePaths(frameFolder, names);
        for (const QString& path : paths)
            EXPECT_TRUE(writeFrame(path)) << path.toStdString();
        return paths;
    }

    // Pixel (x, y) as {r, g, b, a}.
    static std::array<int, 4> pixel(const ToolProbe::Pixels& image, int x, int y) {
        return {image.at(x, y, 0), image.at(x, y, 1), image.at(x, y, 2), image.at(x, y, 3)};
    }
};

void expectNear(const std::array<int, 4>& actual, const std::array<int, 4>& expected, const char* what) {
    for (int channel = 0; channel < 4; ++channel)
        EXPECT_NEAR(actual[channel], expected[channel], 2) << what << ", channel " << channel;
}

TEST_F(ImageStagesReal, MaskIsTheAlphaAsGrey) {
    const QStringList frames = writeFrames(folder.filePath("frames"), {"0.png", "1.png"});
    const QString masks = folder.makeFolder("alphaImages");
    EXPECT_TRUE(ImageStages::extractImageAlpha(ToolProbe::stagedConvert(), frames, masks));
    ASSERT_EQ(QDir(masks).entryList(QDir::Files), (QStringList{"0.png", "1.png"}));
    const auto mask = ToolProbe::readPixels(masks + "/1.png");
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->width, 3 * kColumn);
    EXPECT_EQ(mask->height, kHeight);
    expectNear(pixel(*mask, 1, 1), {255, 255, 255, 255}, "opaque gives white");
    expectNear(pixel(*mask, kColumn + 1, 1), {128, 128, 128, 255}, "half transparent gives grey");
    expectNear(pixel(*mask, 2 * kColumn + 1, 1), {0, 0, 0, 255}, "transparent gives black");
}

TEST_F(ImageStagesReal, ColourIsLaidOntoBlack) {
    const QStringList frames = writeFrames(folder.filePath("frames"), {"0.png"});
    const QString colours = folder.makeFolder("rgbImages");
    EXPECT_TRUE(ImageStages::extractImageRGB(ToolProbe::stagedConvert(), frames, colours));
    const auto colour = ToolProbe::readPixels(colours + "/0.png");
    ASSERT_TRUE(colour);
    expectNear(pixel(*colour, 1, 1), {255, 0, 0, 255}, "opaque red stays");
    expectNear(pixel(*colour, kColumn + 1, 1), {0, 0, 128, 255}, "half blue over black");
    expectNear(pixel(*colour, 2 * kColumn + 1, 1), {0, 0, 0, 255}, "transparent green gives black");
}

// Recorded and passed on to the real program: one run for the batch, and one
// mask per frame named like its frame.
TEST_F(ImageStagesReal, BatchOfTwentyWritesEveryFrame) {
    QStringList names = numberedNames(20);
    names[7] = "007.png";
    const QStringList frames = writeFrames(folder.filePath("frames"), names);
    const QString masks = folder.makeFolder("alphaImages");
    const QString calls = folder.makeFolder("calls");
    qputenv("ZEV_RECORD_DIR", QFile::encodeName(calls));
    qputenv("ZEV_RECORD_EXEC", QFile::encodeName(ToolProbe::stagedConvert()));
    EXPECT_TRUE(ImageStages::extractImageAlpha(RecordedCalls::recorderPath(), frames, masks));
    qunsetenv("ZEV_RECORD_DIR");
    qunsetenv("ZEV_RECORD_EXEC");

    const QList<QStringList> runs = RecordedCalls::read(calls);
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].size(), 26);
    QStringList written = QDir(masks).entryList(QDir::Files);
    QStringList expected = names;
    written.sort();
    expected.sort();
    EXPECT_EQ(written, expected);
}

TEST_F(ImageStagesReal, PackedFrameHasMaskLeftAndColourRight) {
    const QStringList frames = writeFrames(folder.filePath("frames"), {"5.png", "007.png"});
    const QString masks = folder.makeFolder("alphaImages");
    const QString colours = folder.makeFolder("rgbImages");
    const QString packed = folder.makeFolder("appendImages");
    const QString convert = ToolProbe::stagedConvert();
    EXPECT_TRUE(ImageStages::extractImageAlpha(convert, frames, masks));
    EXPECT_TRUE(ImageStages::extractImageRGB(convert, frames, colours));
    EXPECT_TRUE(ImageStages::appendImages(convert, framePaths(masks, {"5.png", "007.png"}),
                                          framePaths(colours, {"5.png", "007.png"}), packed));

    EXPECT_EQ(QDir(packed).entryList(QDir::Files), (QStringList{"00005.png", "00007.png"}));
    const auto frame = ToolProbe::readPixels(packed + "/00005.png");
    ASSERT_TRUE(frame);
    const int width = 3 * kColumn;
    EXPECT_EQ(frame->width, 2 * width);
    EXPECT_EQ(frame->height, kHeight);
    expectNear(pixel(*frame, 1, 1), {255, 255, 255, 255}, "mask, opaque part");
    expectNear(pixel(*frame, 2 * kColumn + 1, 1), {0, 0, 0, 255}, "mask, transparent part");
    expectNear(pixel(*frame, width + 1, 1), {255, 0, 0, 255}, "colour, red part");
    expectNear(pixel(*frame, width + kColumn + 1, 1), {0, 0, 128, 255}, "colour, half blue part");
}

} // namespace
