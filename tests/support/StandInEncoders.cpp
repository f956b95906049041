#include "StandInEncoders.h"

#include <QFile>

namespace zev {

QString StandInEncoders::stoppingEarly(const QString& folder) {
    // "-frames:v 2" goes in front of the last argument, the output video.
    return writeScript(
        folder + QStringLiteral("/ffmpeg-stopping-early"),
        "#!/bin/sh\nn=$#\n"
        "for a do n=$((n - 1)); [ $n = 0 ] && set -- \"$@\" -frames:v 2; set -- \"$@\" \"$a\"; done\n"
        "shift $((($# - 2) / 2))\nexec '" ZEV_STAGED_RESOURCES "/ffmpeg/ffmpeg' \"$@\"\n");
}

QString StandInEncoders::failing(const QString& folder, const QString& errorLine) {
    QString quoted = errorLine;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return writeScript(folder + QStringLiteral("/failing-ffmpeg"),
                       "#!/bin/sh\necho '" + quoted.toUtf8() + "' >&2\nexit 1\n");
}

QString StandInEncoders::failingRewrite(const QString& folder) {
    return writeScript(
        folder + QStringLiteral("/ffmpeg-failing-rewrite"),
        "#!/bin/sh\nfor a do [ \"$a\" = -bsf:v ] && { echo 'rewrite refused' >&2; exit 1; }; done\n"
        "exec '" ZEV_STAGED_RESOURCES "/ffmpeg/ffmpeg' \"$@\"\n");
}

QString StandInEncoders::writeScript(const QString& path, const QByteArray& text) {
    QFile script(path);
    script.open(QIODevice::WriteOnly);
    script.write(text);
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

} // namespace zev
