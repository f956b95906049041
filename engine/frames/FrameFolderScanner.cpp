#include "frames/FrameFolderScanner.h"

#include "core/IntegerText.h"
#include "core/NumericNameOrder.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace zev {

std::optional<QStringList> FrameFolderScanner::allImagesFromFolder(const QString& folder,
                                                                   ConvertError* error) {
    // QFileInfo follows symbolic links, so a link to a folder is a folder and
    // a dangling link is nothing at all.
    const QFileInfo info(folder);
    if (folder.isNull() || !info.exists() || !info.isDir())
        return fail(kNotAFolder, error);

    // An unreadable folder lists as empty and so ends as "no frames".
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    QStringList names;
    for (const QString& entry : entries) {
        if (!entry.endsWith(QLatin1String(".png"), Qt::CaseSensitive))
            continue;
        if (!IntegerText::isInteger(deletingPathExtension(entry)))
            return fail(kNotNumbered, error);
        names.append(entry);
    }
    if (names.isEmpty())
        return fail(kNoFrames, error);

    std::sort(names.begin(), names.end(), NumericNameOrder::lessThan);
    return names;
}

std::optional<QStringList> FrameFolderScanner::allImagesFullPathFrom(const QString& folder,
                                                                     ConvertError* error) {
    ConvertError ownError;
    const std::optional<QStringList> names = allImagesFromFolder(folder, &ownError);
    if (!names) {
        if (error)
            *error = ownError;
        return std::nullopt;
    }
    QStringList paths;
    paths.reserve(names->size());
    for (const QString& name : *names)
        paths.append(joinPath(folder, name));
    return paths;
}

std::optional<ConvertError> FrameFolderScanner::errorWithMsg(const QString& message) {
    if (message.isNull())
        return std::nullopt;
    return ConvertError{ConvertError::kDomain, ConvertError::kCode, {{ConvertError::kMessageKey, message}}};
}

QString FrameFolderScanner::deletingPathExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype slash = name.lastIndexOf(u'/');
    if (dot <= slash + 1)
        return name;
    return name.left(dot);
}

QString FrameFolderScanner::joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

std::optional<QStringList> FrameFolderScanner::fail(const QString& message, ConvertError* error) {
    if (error)
        *error = *errorWithMsg(message);
    return std::nullopt;
}

} // namespace zev
