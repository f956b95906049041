#include <QCoreApplication>
#include <gtest/gtest.h>

// The engine posts work to the main thread, so engine tests need an event
// loop, but never a window.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
