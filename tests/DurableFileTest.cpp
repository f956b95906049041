#include "storage/DurableFile.h"

#include "ParamName.h"
#include "TemporaryFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace zev;

namespace {

QString contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("(none)");
}

TEST(DurableFileTest, ReplacesTheFileAndALinkWithoutFollowingIt) {
    TemporaryFolder folder;
    const QString outside = folder.touch("outside.json", "outside");
    const QString path = folder.filePath("out/zev.json");
    folder.makeFolder("out");
    ASSERT_TRUE(QFile::link(outside, path));

    ASSERT_TRUE(DurableFile::write(path, "whole"));

    EXPECT_EQ(contentOf(path), "whole");
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_EQ(contentOf(outside), "outside");
    EXPECT_EQ(QDir(folder.filePath("out")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"zev.json"});
}

struct WriteFailureCase {
    const char* title;
    // Sets the file up to fail at path (in folder); returns the limit on
    // file sizes to write it under, 0 for none.
    rlim_t (*prepare)(const QString& path, const TemporaryFolder& folder);
    const char* reason;
};

class WriteFailures : public ::testing::TestWithParam<WriteFailureCase> {};

// Nothing short or empty ever stands under the file's name, nor anything
// under a temporary one; the reason names the file and the system's words.
TEST_P(WriteFailures, LeaveTheFileAsItWas) {
    TemporaryFolder folder;
    folder.makeFolder("out");
    const QString path = folder.touch("out/zev.json", "previous");
    const rlim_t limit = GetParam().prepare(path, folder);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (limit > 0) {
        const rlimit limited{limit, previous.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    const Result<> written = DurableFile::write(path, QByteArray(10000, 'x'));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    ASSERT_FALSE(written);
    EXPECT_TRUE(written.reason().contains(path + QStringLiteral(": ") + QString::fromUtf8(GetParam().reason)))
        << written.reason().toStdString();
    EXPECT_EQ(contentOf(path),
              QFileInfo(path).isDir() ? QStringLiteral("(none)") : QStringLiteral("previous"));
    EXPECT_EQ(QDir(folder.filePath("out")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"zev.json"});
}

INSTANTIATE_TEST_SUITE_P(
    Files, WriteFailures,
    ::testing::Values(WriteFailureCase{"disk full halfway",
                                       [](const QString&, const TemporaryFolder&) -> rlim_t { return 4096; },
                                       "File too large"},
                      WriteFailureCase{"disk full at once",
                                       [](const QString&, const TemporaryFolder&) -> rlim_t { return 1; },
                                       "File too large"},
                      WriteFailureCase{"a folder at the name",
                                       [](const QString& path, const TemporaryFolder&) -> rlim_t {
                                           QFile::remove(path);
                                           QDir().mkdir(path);
                                           return 0;
                                       },
                                       "Is a directory"}),
    ParamName());

} // namespace
