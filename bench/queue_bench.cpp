// Times the window's queue on copies of one frame folder, converted one at a
// time and then two at once, and prints the wall and CPU seconds of each:
//
//   build/bin/zev_queue_bench FRAME_FOLDER [COPIES] [--express]   (default 4)
//
// bench/queue.sh makes the frames and runs it. The copies live in a temporary
// folder that is removed afterwards; the tools are the staged ones beside the
// program (build/share/zev). CPU seconds are ZEV's own and its tools', user
// and system together.

#include "ConversionQueue.h"
#include "session/SettingsValidator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <sys/resource.h>

using namespace zev;

namespace {

double cpuSeconds() {
    double seconds = 0.0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        seconds += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return seconds;
}

bool copyFolder(const QString& from, const QString& to) {
    if (!QDir().mkpath(to))
        return false;
    const QStringList names = QDir(from).entryList({QStringLiteral("*.png")}, QDir::Files);
    for (const QString& name : names) {
        if (!QFile::copy(from + u'/' + name, to + u'/' + name))
            return false;
    }
    return !names.isEmpty();
}

// Runs every folder through a queue; answers how many were converted.
int runQueue(const QStringList& folders, int parallelRuns, bool express) {
    ConversionQueue queue;
    queue.setParallelRuns(parallelRuns);
    QEventLoop loop;
    int converted = 0;
    QObject::connect(&queue, &ConversionQueue::finished, &loop,
                     [&converted](const QueueSummary& summary) { converted = summary.succeeded(); });
    QObject::connect(&queue, &ConversionQueue::busyChanged, &loop, [&loop](bool busy) {
        if (!busy)
            loop.quit();
    });
    FrontEndInputs inputs;
    inputs.sliderValue = SettingsValidator::kLowPreset;
    inputs.expressTicked = express;
    queue.add(folders, inputs, ConversionSettings::defaults());
    if (queue.isBusy())
        loop.exec();
    for (const QString& folder : folders)
        QDir(folder + QStringLiteral("/output")).removeRecursively();
    return converted;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool express = arguments.removeAll(QStringLiteral("--express")) > 0;
    if (arguments.isEmpty()) {
        std::fprintf(stderr, "usage: zev_queue_bench FRAME_FOLDER [COPIES] [--express]\n");
        return 2;
    }
    const int copies = arguments.size() > 1 ? arguments[1].toInt() : 4;
    const QTemporaryDir work;
    QStringList folders;
    for (int i = 0; i < copies; ++i) {
        folders.append(work.filePath(QStringLiteral("frames-%1").arg(i)));
        if (!copyFolder(arguments[0], folders.last())) {
            std::fprintf(stderr, "zev_queue_bench: cannot copy the frames of %s\n", qPrintable(arguments[0]));
            return 1;
        }
    }
    std::printf("%d folders, %s pipeline, %d cores\n", copies, express ? "express" : "default",
                QThread::idealThreadCount());
    std::printf("%-16s %8s %8s %10s\n", "runs at once", "wall s", "CPU s", "converted");
    for (const int parallelRuns : {1, 2}) {
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = cpuSeconds();
        const int converted = runQueue(folders, parallelRuns, express);
        std::printf("%-16d %8.2f %8.2f %7d/%d\n", parallelRuns, double(clock.elapsed()) / 1000.0,
                    cpuSeconds() - cpuBefore, converted, copies);
    }
    return 0;
}
