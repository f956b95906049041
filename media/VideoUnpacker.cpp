#include "VideoUnpacker.h"

#include "PngFrameFile.h"
#include "core/IntegerText.h"
#include "core/SystemError.h"
#include "preview/PackedVideo.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zev {

namespace {

const QString kStagingPrefix = QStringLiteral(".zev-unpack-");

QString frameName(qint64 index) {
    return QStringLiteral("%1.png").arg(index);
}

bool isRealFolder(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The private folder the frames are made in, removed with whatever is left
// in it.
class StagingFolder {
public:
    ~StagingFolder() {
        if (!path_.isEmpty() && isRealFolder(path_))
            QDir(path_).removeRecursively();
    }

    Result<> create(const QString& outFolder) {
        QByteArray name = QFile::encodeName(outFolder + u'/' + kStagingPrefix +
                                            QString::number(QCoreApplication::applicationPid()) +
                                            QStringLiteral("-XXXXXX"));
        if (!::mkdtemp(name.data()))
            return Result<>::failure(VideoUnpacker::tr("cannot create a folder for the frames in %1: %2")
                                         .arg(outFolder, SystemError::text(errno)));
        path_ = QFile::decodeName(name);
        return Result<>::success();
    }

    QString path() const { return path_; }

private:
    QString path_;
};

} // namespace

Result<qint64> VideoUnpacker::unpack(const Tools& tools, const QString& videoPath, const QString& outFolder,
                                     const Progress& progress, const Cancellation* cancellation,
                                     Existing existing) {
    Result<PackedVideo> video = PackedVideo::open(tools.ffprobe, videoPath, cancellation);
    if (!video)
        return video.failure();
    if (!QDir().mkpath(outFolder))
        return Result<qint64>::failure(tr("cannot create the folder %1").arg(outFolder));
    if (const QList<qint64> there = numberedFrames(outFolder);
        existing == Existing::Refuse && !there.isEmpty())
        return Result<qint64>::failure(
            tr("%1 already holds numbered frames (%2, %3 in all), which the video's frames would replace; "
               "give --force to replace them")
                .arg(outFolder, frameName(there.first()))
                .arg(there.size()));
    removeAbandoned(outFolder);
    StagingFolder staging;
    if (Result<> made = staging.create(outFolder); !made)
        return made.failure();
    const QDir made(staging.path());
    Result<qint64> written =
        video->forEachFrame(tools.ffmpeg, cancellation, [&](qint64 index, const RgbaFrame& frame) {
            if (Result<> saved = PngFrameFile::write(frame, made.filePath(frameName(index))); !saved)
                return saved;
            if (progress)
                progress(index + 1, video->facts.frames());
            return Result<>::success();
        });
    if (!written)
        return written;
    if (Result<> moved = moveIntoPlace(staging.path(), outFolder, *written, existing); !moved)
        return moved.failure();
    return written;
}

// rename(2) replaces what stands at the name, a link included, and never
// writes through it; without leave to replace, a frame that appeared there
// meanwhile stops the move instead.
Result<> VideoUnpacker::moveIntoPlace(const QString& staging, const QString& outFolder, qint64 count,
                                      Existing existing) {
    const unsigned flags = existing == Existing::Replace ? 0 : RENAME_NOREPLACE;
    for (qint64 index = 0; index < count; ++index) {
        const QByteArray from = QFile::encodeName(staging + u'/' + frameName(index));
        const QString to = outFolder + u'/' + frameName(index);
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, QFile::encodeName(to).constData(), flags) != 0)
            return Result<>::failure(tr("cannot move the frame %1 into place (%2 of %3 frames were): %4")
                                         .arg(to)
                                         .arg(index)
                                         .arg(count)
                                         .arg(SystemError::text(errno)));
    }
    return Result<>::success();
}

QList<qint64> VideoUnpacker::numberedFrames(const QString& folder) {
    QList<qint64> numbers;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("*.png")}, QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QString number = name.chopped(4);
        if (!number.isEmpty() &&
            std::all_of(number.cbegin(), number.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            numbers.append(IntegerText::integerValue(number));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void VideoUnpacker::removeAbandoned(const QString& outFolder) {
    const QDir folder(outFolder);
    const QStringList names = folder.entryList({kStagingPrefix + QStringLiteral("*-*")},
                                               QDir::Dirs | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& name : names) {
        bool isNumber = false;
        const qint64 pid = name.mid(kStagingPrefix.size()).section(u'-', 0, 0).toLongLong(&isNumber);
        if (isNumber && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH &&
            isRealFolder(folder.filePath(name)))
            QDir(folder.filePath(name)).removeRecursively();
    }
}

} // namespace zev
