#pragma once

#include "ToolRunResult.h"

#include <QString>
#include <QStringList>

// Runs one external program to its end. Every image and video step goes
// through here, so this is the one place that decides how a child is started:
// the arguments reach the program exactly as given (no shell, no quoting, no
// expansion), its standard input is the null device, its standard output is
// the application's, and its standard error is collected in memory while it
// runs, so a chatty child never stalls on a full pipe.
//
// Keeps no state: any number of runs may go on at once, from any thread
// (pool threads, plain background threads, the main thread); each call blocks
// its own thread until its child has exited.
class ToolRunner {
public:
    // When the child wrote valid, non-empty UTF-8 to its standard error, one
    // empty info line is logged; the text itself is neither logged nor kept.
    // A program that cannot be started logs one warning naming launchPath and
    // gives a result with started == false.
    static ToolRunResult run(const QStringList& arguments, const QString& launchPath);

    // True when the bytes decode as UTF-8 without error to a non-empty text.
    static bool isNonEmptyUtf8(const QByteArray& bytes);
};
