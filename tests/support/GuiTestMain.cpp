#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Widget tests need a QApplication; they run on the offscreen platform
// (QT_QPA_PLATFORM=offscreen, set for every registered test), so no display
// is needed.
int main(int argc, char** argv) {
    // The build lists the tests by running this program, outside ctest and
    // so without that setting; never reach for a display then either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window remembers choices (QSettings): keep them in a folder of the
    // test's own, never in the user's settings.
    const QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    // A fresh server or CI running as root has no runtime folder, and Qt
    // warns about it on every start, the build's test listing included. A
    // private one (QTemporaryDir makes it 0700, as Qt wants) says nothing.
    const QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
