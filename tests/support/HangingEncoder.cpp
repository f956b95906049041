#include "HangingEncoder.h"

#include <QFile>
#include <csignal>

namespace zev {

HangingEncoder::HangingEncoder(const QString& folder)
    : path_(folder + QStringLiteral("/hanging-ffmpeg")) {
    QFile script(path_);
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\n"
                 "for last; do :; done\n"
                 "printf partial > \"$last\"\n"
                 "printf 'frame=    3 fps=0.0 q=0.0\\r' >&2\n"
                 "echo $$ > \"$0.pid\"\n"
                 "exec sleep 60\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool HangingEncoder::isRunning() const {
    QFile pidFile(path_ + QStringLiteral(".pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return false;
    const pid_t pid = pidFile.readAll().trimmed().toInt();
    return pid > 0 && ::kill(pid, 0) == 0;
}

} // namespace zev
