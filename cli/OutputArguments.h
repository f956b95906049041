#pragma once

#include "core/Result.h"
#include "output/OutputOptions.h"

#include <QCommandLineOption>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <optional>

class QCommandLineParser;

namespace zev {

// The command line's options for the video's layout, mask size, colour,
// largest size, quality target, gap, codec, container, sound and
// description, and the target player whose choices they start from. All
// but --describe need --express, and so does a target the default
// conversion cannot make: its commands are fixed.
class OutputArguments {
    Q_DECLARE_TR_FUNCTIONS(OutputArguments)

public:
    OutputArguments();

    QList<QCommandLineOption> options() const;
    // The options the parser found, or the usage problem with them. rateChosen:
    // --preset or --slider was given, which a CRF would override.
    Result<OutputOptions> read(const QCommandLineParser& parser, bool express, bool rateChosen) const;
    // Whether any option that needs --express was given.
    bool anyExpressOnly(const QCommandLineParser& parser) const;

    // The lines for --help.
    static QString helpText();

    // A size such as 250000, 500k or 1.5M (k: 1024 bytes, M: 1024 k), in
    // bytes; nothing for anything else, or nothing at all.
    static std::optional<qint64> byteCount(const QString& text);

private:
    QCommandLineOption layout_;
    QCommandLineOption maskSize_;
    QCommandLineOption colour_;
    QCommandLineOption fit_;
    QCommandLineOption crf_;
    QCommandLineOption gap_;
    QCommandLineOption describe_;
    QCommandLineOption codec_;
    QCommandLineOption container_;
    QCommandLineOption audio_;
    QCommandLineOption target_;
    QCommandLineOption maxSize_;
    QCommandLineOption quality_;

    // The codec and container asked for, starting from format (a target's).
    Result<VideoFormat> readFormat(const QCommandLineParser& parser, VideoFormat format) const;
    // --max-size and --quality into options, or the problem with them.
    Result<> readRateSearch(const QCommandLineParser& parser, bool rateChosen, OutputOptions& options) const;
};

} // namespace zev
