#include "TestFrames.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace zev {

QString TestFrames::imageMagick() {
    return QStringLiteral(ZEV_STAGED_RESOURCES "/imageMagick/bin/convert");
}

bool TestFrames::writeFrame(const QString& path, int width, int height) {
    const int half = width / 2;
    QProcess convert;
    convert.start(imageMagick(),
                  {QStringLiteral("-size"), QStringLiteral("%1x%2").arg(width).arg(height),
                   QStringLiteral("xc:none"), QStringLiteral("-fill"), QStringLiteral("rgba(255,0,0,1)"),
                   QStringLiteral("-draw"),
                   QStringLiteral("rectangle 0,0 %1,%2").arg(half - 1).arg(height - 1),
                   QStringLiteral("-fill"), QStringLiteral("rgba(0,0,255,0.5)"), QStringLiteral("-draw"),
                   QStringLiteral("rectangle %1,0 %2,%3").arg(half).arg(width - 1).arg(height - 1),
                   QStringLiteral("PNG32:") + path});
    return convert.waitForFinished(30000) && convert.exitStatus() == QProcess::NormalExit &&
           convert.exitCode() == 0;
}

bool TestFrames::writeSequence(const QString& folder, int count, int width, int height, int first) {
    QDir().mkpath(folder);
    const QDir dir(folder);
    const QString model = dir.filePath(QStringLiteral("model.tmp"));
    if (!writeFrame(model, width, height))
        return false;
    bool copied = true;
    for (int i = first; i < first + count; ++i)
        copied = QFile::copy(model, dir.filePath(QStringLiteral("%1.png").arg(i))) && copied;
    QFile::remove(model);
    return copied;
}

bool TestFrames::writeGradientSequence(const QString& folder, int count, int width, int height) {
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        QProcess convert;
        convert.start(imageMagick(),
                      {QStringLiteral("-size"), QStringLiteral("%1x%2").arg(width).arg(height),
                       QStringLiteral("gradient:red-blue"), QStringLiteral("("), QStringLiteral("-size"),
                       QStringLiteral("%1x%2").arg(height).arg(width), QStringLiteral("gradient:white-black"),
                       QStringLiteral("-rotate"), QStringLiteral("90"), QStringLiteral(")"),
                       QStringLiteral("-alpha"), QStringLiteral("off"), QStringLiteral("-compose"),
                       QStringLiteral("copyopacity"), QStringLiteral("-composite"), QStringLiteral("-roll"),
                       QStringLiteral("+%1+0").arg(3 * i),
                       QStringLiteral("PNG32:%1/%2.png").arg(folder).arg(i)});
        if (!convert.waitForFinished(30000) || convert.exitStatus() != QProcess::NormalExit ||
            convert.exitCode() != 0)
            return false;
    }
    return true;
}

} // namespace zev
