#pragma once

#include "RecordedCalls.h"
#include "TemporaryFolder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace zev {

// A test that runs the recorder in place of a tool: every call lands in
// calls, and every ZEV_RECORD_* setting a test makes is undone afterwards.
class RecordingTest : public ::testing::Test {
protected:
    TemporaryFolder folder;
    QString calls;
    const QString recorder = RecordedCalls::recorderPath();

    void SetUp() override {
        calls = folder.makeFolder("calls");
        qputenv("ZEV_RECORD_DIR", QFile::encodeName(calls));
    }
    void TearDown() override {
        for (const char* name : {"ZEV_RECORD_DIR", "ZEV_RECORD_EXIT", "ZEV_RECORD_STDERR_BYTES",
                                 "ZEV_RECORD_EXEC", "ZEV_RECORD_SKIP"})
            qunsetenv(name);
    }
    QList<QStringList> recorded() const { return RecordedCalls::read(calls); }
};

} // namespace zev
