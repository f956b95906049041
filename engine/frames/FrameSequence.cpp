#include "frames/FrameSequence.h"

#include "core/UserTexts.h"
#include "frames/FrameFolderScanner.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace zev {

namespace {

struct NumberedName {
    QString name;
    QString prefix;
    qint64 number = 0;
};

using Answer = Result<QStringList, FrameSequence::Refusal>;

Answer refuse(const QString& message, const QString& reason = QString()) {
    return FrameSequence::Refusal{message, reason};
}

// The number is the whole run of digits just before ".png"; everything
// before it is the prefix, signs and blanks included ("walk-1" is frame 1
// of "walk-"). A number too long for a qint64 is no number.
std::optional<NumberedName> numbered(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^(.*[^0-9])?([0-9]+)$"));
    const QRegularExpressionMatch match = pattern.match(FrameFolderScanner::deletingPathExtension(name));
    if (!match.hasMatch() || match.capturedLength(2) > FrameSequence::kMostDigits)
        return std::nullopt;
    return NumberedName{name, match.captured(1), match.captured(2).toLongLong()};
}

// The numbers must count up by one: the first one out of step is a repeat
// or the end of a gap.
Answer numberingProblem(const QList<NumberedName>& frames) {
    for (qsizetype i = 1; i < frames.size(); ++i) {
        const NumberedName& previous = frames.at(i - 1);
        const NumberedName& frame = frames.at(i);
        if (frame.number == previous.number)
            return refuse(UserTexts::kFramesNotConsecutive, FrameSequence::tr("%1 and %2 are both frame %3")
                                                                .arg(previous.name, frame.name)
                                                                .arg(frame.number));
        if (frame.number != previous.number + 1) {
            const QString missing =
                frame.number == previous.number + 2
                    ? QString::number(previous.number + 1)
                    : FrameSequence::tr("%1 to %2").arg(previous.number + 1).arg(frame.number - 1);
            return refuse(UserTexts::kFramesNotConsecutive,
                          FrameSequence::tr("frame %1 is missing: %2 follows %3")
                              .arg(missing, frame.name, previous.name));
        }
    }
    return QStringList();
}

} // namespace

Result<QStringList, FrameSequence::Refusal> FrameSequence::scan(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir())
        return refuse(FrameFolderScanner::kNotAFolder);
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    QList<NumberedName> frames;
    for (const QString& entry : entries) {
        if (!entry.endsWith(QLatin1String(".png"), Qt::CaseSensitive))
            continue;
        const std::optional<NumberedName> frame = numbered(entry);
        if (!frame)
            return refuse(
                FrameFolderScanner::kNotNumbered,
                tr("%1 does not end in a frame number of at most %2 digits").arg(entry).arg(kMostDigits));
        if (!frames.isEmpty() && frame->prefix != frames.first().prefix)
            return refuse(FrameFolderScanner::kNotNumbered,
                          tr("the frames' names do not share one prefix: %1 and %2")
                              .arg(frames.first().name, frame->name));
        frames.append(*frame);
    }
    if (frames.isEmpty())
        return refuse(FrameFolderScanner::kNoFrames);
    std::sort(frames.begin(), frames.end(), [](const NumberedName& a, const NumberedName& b) {
        return a.number != b.number ? a.number < b.number : a.name < b.name;
    });
    if (Answer problem = numberingProblem(frames); !problem)
        return problem;
    QStringList paths;
    paths.reserve(frames.size());
    for (const NumberedName& frame : std::as_const(frames))
        paths.append(FrameFolderScanner::joinPath(folder, frame.name));
    return paths;
}

QString FrameSequence::span(const QStringList& frames) {
    if (frames.isEmpty())
        return {};
    QString first = QFileInfo(frames.first()).fileName();
    if (frames.size() == 1)
        return first;
    return QStringLiteral("%1 … %2").arg(first, QFileInfo(frames.last()).fileName());
}

} // namespace zev
