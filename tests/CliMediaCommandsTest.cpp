#include "CliMediaCommands.h"

#include "ParamName.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "TestVideos.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zev;

namespace {

VideoUnpacker::Tools stagedTools() {
    const QString folder = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/");
    return {folder + QStringLiteral("ffprobe"), folder + QStringLiteral("ffmpeg")};
}

// --unpack and --check writing into memory instead of the process's
// standard streams.
class CapturedMedia {
public:
    explicit CapturedMedia(VideoUnpacker::Tools tools = stagedTools())
        : media_(out_, err_, std::move(tools)) {
        out_.open(QIODevice::WriteOnly);
        err_.open(QIODevice::WriteOnly);
    }

    CliMediaCommands& media() { return media_; }
    int run(const QStringList& options) {
        return media_.run(QStringList{QStringLiteral("zev-cli")} + options);
    }
    QString output() const { return QString::fromUtf8(out_.data()); }
    QString errors() const { return QString::fromUtf8(err_.data()); }

private:
    QBuffer out_;
    QBuffer err_;
    CliMediaCommands media_;
};

// A frame folder with its video, output/zev.mp4.
class CliMediaCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TestFrames::writeSequence(folder.path(), 4, 16, 8));
        ASSERT_TRUE(TestVideos::packFolder(folder.path()));
    }
    // --check of the folder, or --unpack of its video into back/.
    QStringList commandLine(const QString& command) const {
        return command == QLatin1String("--check")
                   ? QStringList{command, folder.path()}
                   : QStringList{command, folder.filePath("output/zev.mp4"), folder.filePath("back")};
    }

    TemporaryFolder folder;
};

// A named pipe where a frame should be is refused at once; a reader that
// waited on it would never see the stop either.
TEST_F(CliMediaCommandsTest, CheckRefusesANamedPipeFrame) {
    const QString pipe = folder.filePath("2.png");
    ASSERT_TRUE(QFile::remove(pipe));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // Frees a faulty reader, so the test fails instead of hanging.
    QTimer release;
    release.setSingleShot(true);
    QObject::connect(&release, &QTimer::timeout, [pipe]() {
        ADD_FAILURE() << "--check waited on the pipe";
        const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
    });
    release.start(20000);
    CapturedMedia captured;

    EXPECT_EQ(captured.run({QStringLiteral("--check"), folder.path()}), 1);
    EXPECT_TRUE(captured.errors().contains(pipe + QStringLiteral(": it is not a regular file")))
        << captured.errors().toStdString();
}

// The first SIGTERM stops the work wherever it is, here a reading of the
// video that would otherwise go on until its time limit.
TEST_F(CliMediaCommandsTest, TheFirstStopEndsAHangingProbe) {
    const QString hanging = folder.touch(QStringLiteral("tools/ffprobe"), "#!/bin/sh\nexec sleep 60\n");
    ASSERT_EQ(::chmod(QFile::encodeName(hanging).constData(), 0755), 0);
    for (const QString& command : {QStringLiteral("--check"), QStringLiteral("--unpack")}) {
        CapturedMedia captured({hanging, stagedTools().ffmpeg});
        QTimer::singleShot(300, [&captured]() { captured.media().interrupt(SIGTERM); });
        EXPECT_EQ(captured.run(commandLine(command)), 128 + SIGTERM);
        EXPECT_TRUE(captured.errors().contains(QStringLiteral("ffprobe was stopped")))
            << command.toStdString() << ": " << captured.errors().toStdString();
    }
}

struct RefusedFolderCase {
    const char* title;
    // The folder to check, made inside the test's folder.
    QString (*folder)(const TemporaryFolder& folder);
    const char* reason;
};

class RefusedFolders : public ::testing::TestWithParam<RefusedFolderCase> {};

// Worded in the locale's language like every other reason of --check
// (English here: no translation is installed), not in the conversion's
// fixed Chinese messages.
TEST_P(RefusedFolders, AreRefusedInTheLocalesLanguage) {
    TemporaryFolder folder;
    CapturedMedia captured;

    EXPECT_EQ(captured.run({QStringLiteral("--check"), GetParam().folder(folder)}), 1);

    EXPECT_TRUE(captured.errors().contains(QString::fromUtf8(GetParam().reason)))
        << captured.errors().toStdString();
    for (const QChar c : captured.errors())
        ASSERT_LT(c.unicode(), 0x2e80) << captured.errors().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Check, RefusedFolders,
                         ::testing::Values(RefusedFolderCase{"missing",
                                                             [](const TemporaryFolder& folder) {
                                                                 return folder.filePath("missing");
                                                             },
                                                             "missing is not a folder"},
                                           RefusedFolderCase{"not numbered",
                                                             [](const TemporaryFolder& folder) {
                                                                 folder.touch("cover.png");
                                                                 return folder.path();
                                                             },
                                                             "not named by a number"}),
                         ParamName());

// Sizes are judged before anything is allocated or decoded: both commands
// refuse with the reason instead of running out of memory.
TEST_F(CliMediaCommandsTest, AVideoClaimingEnormousFramesIsRefusedBeforeDecoding) {
    ASSERT_TRUE(TestVideos::claimingSize(folder.filePath("output/zev.mp4"), QSize(16384, 16000)));
    for (const QString& command : {QStringLiteral("--check"), QStringLiteral("--unpack")}) {
        CapturedMedia captured;

        EXPECT_EQ(captured.run(commandLine(command)), 1);
        EXPECT_TRUE(captured.errors().contains(QStringLiteral("16384×16000")))
            << command.toStdString() << ": " << captured.errors().toStdString();
        EXPECT_FALSE(QFileInfo::exists(folder.filePath("back/0.png")));
    }
}

} // namespace
