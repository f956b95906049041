#include "pipeline/PendingFiles.h"

#include "FileSizeLimit.h"
#include "ParamName.h"
#include "TemporaryFolder.h"
#include "pipeline/PendingVideo.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using namespace zev;

namespace {

QStringList entries(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

QString contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("(none)");
}

// An output folder with a previous video and description, and a new video
// written under its temporary name.
class PendingFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.touch("output/zev.mp4", "previous video");
        folder.touch("output/zev.json", "previous description");
        QFile written(video.path());
        ASSERT_TRUE(written.open(QIODevice::WriteOnly));
        written.write("new video");
    }
    QString output() const { return folder.filePath("output"); }

    TemporaryFolder folder;
    PendingVideo video{folder.filePath("output"), QStringLiteral("express")};
};

TEST_F(PendingFilesTest, CommitsTheFilesTogetherWithTheVideo) {
    {
        PendingFiles beside(output());
        ASSERT_TRUE(beside.write("zev.json", "new description"));
        ASSERT_TRUE(beside.write("players.json", "for the players"));
        EXPECT_EQ(contentOf(output() + "/zev.json"), "previous description") << "held back until the commit";
        ASSERT_TRUE(beside.commit(video));
    }
    EXPECT_EQ(contentOf(output() + "/zev.mp4"), "new video");
    EXPECT_EQ(contentOf(output() + "/zev.json"), "new description");
    EXPECT_EQ(contentOf(output() + "/players.json"), "for the players");
    EXPECT_EQ(entries(output()), (QStringList{"players.json", "zev.json", "zev.mp4"}));
}

TEST_F(PendingFilesTest, AFileTheNewVideoWouldMakeALiarOfGoesAtTheCommit) {
    PendingFiles beside(output());
    beside.remove("zev.json");
    beside.remove("never-there.json");
    EXPECT_TRUE(QFile::exists(output() + "/zev.json"));
    ASSERT_TRUE(beside.commit(video));
    EXPECT_EQ(entries(output()), QStringList{"zev.mp4"});
}

// What makes a run fail before anything is renamed; the previous video and
// everything beside it stay as they were, and nothing temporary is left.
struct FailureCase {
    const char* title;
    std::function<Result<>(PendingFiles&, PendingVideo&, const TemporaryFolder&)> attempt;
    const char* reason;
};

class Failures : public PendingFilesTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(Failures, KeepThePreviousVideoAndDescription) {
    const QStringList before{"zev.json", "zev.mp4"};
    {
        PendingFiles beside(output());
        const Result<> outcome = GetParam().attempt(beside, video, folder);
        ASSERT_FALSE(outcome);
        EXPECT_TRUE(outcome.reason().contains(QString::fromUtf8(GetParam().reason)))
            << outcome.reason().toStdString();
    }
    EXPECT_EQ(contentOf(output() + "/zev.mp4"), "previous video");
    EXPECT_EQ(contentOf(output() + "/zev.json"), "previous description");
    QStringList after = entries(output());
    after.removeAll(QFileInfo(video.path()).fileName()); // goes with the PendingVideo
    after.removeAll(QStringLiteral("players.json"));
    EXPECT_EQ(after.join(u' ').toStdString(), before.join(u' ').toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Beside, Failures,
    ::testing::Values(FailureCase{"disk full",
                                  [](PendingFiles& beside, PendingVideo&, const TemporaryFolder&) {
                                      const FileSizeLimit full(8);
                                      return beside.write("zev.json",
                                                          "a description longer than the disk takes");
                                  },
                                  "zev.json: File too large"},
                      FailureCase{
                          "a folder where a file goes",
                          [](PendingFiles& beside, PendingVideo& video, const TemporaryFolder& folder) {
                              folder.makeFolder("output/players.json");
                              if (Result<> written = beside.write("zev.json", "new"); !written)
                                  return written;
                              if (Result<> written = beside.write("players.json", "new"); !written)
                                  return written;
                              return beside.commit(video);
                          },
                          "a folder stands at"}),
    ParamName());

} // namespace
