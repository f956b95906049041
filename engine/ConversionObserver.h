#pragma once

// Optional progress reports of a running conversion, for front ends that
// show them (the command line does; the window shows a spinner instead).
// Calls arrive on the driver's thread and on the work queue's threads, so an
// observer must be thread-safe and quick.
class ConversionObserver {
public:
    enum class Stage { Scanning, Extracting, Packing, Encoding };

    virtual ~ConversionObserver() = default;

    // A stage begins; totalSteps is its number of batch operations (0 for
    // scanning and encoding, which have none).
    virtual void stageStarted(Stage stage, int totalSteps) = 0;
    // One batch operation of the stage has finished.
    virtual void stepFinished(Stage stage, int finishedSteps, int totalSteps) = 0;
};
