#include "PngFrameFile.h"

#include "ParamName.h"
#include "TemporaryFolder.h"

#include <QFile>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zev;

namespace {

// Reads on another thread; a reader stuck on a named pipe is freed by
// opening the pipe's other end, so a faulty reader fails the test instead of
// hanging it.
Result<RgbaFrame> readWithoutHanging(const QString& path) {
    std::future<Result<RgbaFrame>> reading =
        std::async(std::launch::async, [path]() { return PngFrameFile::read(path); });
    if (reading.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
        ADD_FAILURE() << "the reader waited on " << path.toStdString();
        const int writer = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
    }
    return reading.get();
}

struct NotAFrameCase {
    const char* title;
    // Puts something at path that is not a frame; the folder is there for
    // anything it needs besides.
    void (*make)(const QString& path, const TemporaryFolder& folder);
    const char* reason;
};

class NotAFrame : public ::testing::TestWithParam<NotAFrameCase> {};

// Only a regular file is read: a named pipe, a device or a folder where a
// frame should be is refused at once, with the reason.
TEST_P(NotAFrame, IsRefusedAtOnce) {
    const NotAFrameCase c = GetParam();
    TemporaryFolder folder;
    const QString path = folder.filePath("0.png");
    c.make(path, folder);

    const Result<RgbaFrame> read = readWithoutHanging(path);

    ASSERT_FALSE(read.ok());
    EXPECT_TRUE(read.reason().contains(path)) << read.reason().toStdString();
    EXPECT_TRUE(read.reason().contains(QString::fromUtf8(c.reason))) << read.reason().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Frames, NotAFrame,
    ::testing::Values(NotAFrameCase{"named pipe",
                                    [](const QString& path, const TemporaryFolder&) {
                                        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
                                    },
                                    "not a regular file"},
                      NotAFrameCase{"link to a named pipe",
                                    [](const QString& path, const TemporaryFolder& folder) {
                                        const QString pipe = folder.filePath("pipe");
                                        ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
                                        ASSERT_TRUE(QFile::link(pipe, path));
                                    },
                                    "not a regular file"},
                      NotAFrameCase{"device",
                                    [](const QString& path, const TemporaryFolder&) {
                                        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path));
                                    },
                                    "not a regular file"},
                      NotAFrameCase{"folder",
                                    [](const QString& path, const TemporaryFolder& folder) {
                                        folder.makeFolder(QFileInfo(path).fileName());
                                    },
                                    "not a regular file"}),
    ParamName());

} // namespace
