#include "output/OutputFolder.h"

#include "TemporaryFolder.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace zev;

namespace {

struct HeldCase {
    const char* name;
    QStringList files;
    QByteArray description; // zev.json's text; empty: none
    const char* held;
};

// Which video a folder holds, whatever an earlier run or a user left there.
TEST(OutputFolder, DecidesWhichVideoTheFolderHolds) {
    const QList<HeldCase> cases{
        {"nothing yet", {}, "", "zev.mp4"},
        {"a WebM", {"zev.webm"}, "", "zev.webm"},
        {"both, undescribed", {"zev.mp4", "zev.webm"}, "", "zev.mp4"},
        {"both, the WebM described", {"zev.mp4", "zev.webm"}, R"({"video": "zev.webm"})", "zev.webm"},
        {"described WebM gone", {"zev.mp4"}, R"({"video": "zev.webm"})", "zev.mp4"},
        {"description pointing out", {"zev.webm"}, R"({"video": "../../etc/passwd"})", "zev.webm"},
        {"description not JSON", {"zev.webm"}, "{video", "zev.webm"},
    };
    for (const HeldCase& test : cases) {
        TemporaryFolder folder;
        folder.touchAll(test.files);
        if (!test.description.isEmpty())
            folder.touch("zev.json", test.description);
        EXPECT_EQ(OutputFolder::videoIn(folder.path()), folder.filePath(test.held)) << test.name;
    }
}

} // namespace
