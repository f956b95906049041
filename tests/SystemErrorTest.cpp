#include "core/SystemError.h"

#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>

using namespace zev;

namespace {

struct NumberText {
    int number;
    const char* text;
};

class ErrorTexts : public ::testing::TestWithParam<NumberText> {};

TEST_P(ErrorTexts, names_the_error) {
    EXPECT_EQ(SystemError::text(GetParam().number).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(SystemError, ErrorTexts,
                         ::testing::Values(NumberText{ENOENT, "No such file or directory"},
                                           NumberText{EACCES, "Permission denied"},
                                           NumberText{ENOSPC, "No space left on device"},
                                           NumberText{99999, "Unknown error 99999"}));

class SignalTexts : public ::testing::TestWithParam<NumberText> {};

TEST_P(SignalTexts, names_the_signal) {
    EXPECT_EQ(SystemError::signalText(GetParam().number).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(SystemError, SignalTexts,
                         ::testing::Values(NumberText{SIGKILL, "Killed"},
                                           NumberText{SIGSEGV, "Segmentation fault"},
                                           NumberText{SIGTERM, "Terminated"},
                                           NumberText{0, "Unknown signal 0"},
                                           NumberText{999, "Unknown signal 999"}));

} // namespace
