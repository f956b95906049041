#include "storage/DurableFile.h"

#include "FileSizeLimit.h"
#include "ParamName.h"
#include "TemporaryFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <optional>

using namespace zev;

namespace {

QString contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("(none)");
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
    std::optional<FileSizeLimit> full;
    if (limit > 0)
        full.emplace(limit);
    const Result<> written = DurableFile::write(path, QByteArray(10000, 'x'));
    full.reset();

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
