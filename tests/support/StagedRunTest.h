#pragma once

#include "ScratchEnvironment.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "TestFrontEnd.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace zev {

// A test front end pointed at three frames of 8×6 and using the staged
// tools, with scratch, cache and log folders of the test's own.
class StagedRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TestFrames::writeSequence(frames(), 3, 8, 6));
        front = std::make_unique<TestFrontEnd>();
        front->useStagedTools();
        front->inputs.folderText = frames();
    }
    QString frames() const { return folder.filePath("frames"); }
    QString video() const { return folder.filePath("frames/output/zev.mp4"); }

    // Runs the event loop until the condition holds or the time is up.
    static bool waitFor(const std::function<bool()>& condition, int timeoutMs = 60000) {
        const QDeadlineTimer deadline(timeoutMs);
        while (!condition() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return condition();
    }

    ScratchEnvironment scratch;
    TemporaryFolder folder;
    std::unique_ptr<TestFrontEnd> front;
};

} // namespace zev
