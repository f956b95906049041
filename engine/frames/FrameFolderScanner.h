#pragma once

#include "core/ConvertError.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace zev {

// Lists the numbered PNG frames of a folder in frame order, or says in one
// fixed sentence why the folder cannot be used. Touches nothing on disk and
// keeps no state, so it may run on any thread.
class FrameFolderScanner {
public:
    static inline const QString kNotAFolder = QStringLiteral("传入的路径不是文件夹.");
    static inline const QString kNotNumbered = QStringLiteral("文件夹下存在不是数字命名的 png 图片.");
    static inline const QString kNoFrames = QStringLiteral("文件夹下没有 png 图片.");

    // Bare entry names in frame order. On failure returns nothing and, when
    // error is given, stores the record there; on success error is untouched.
    static std::optional<QStringList> allImagesFromFolder(const QString& folder, ConvertError* error);

    // The same list with the folder joined in front of every name.
    static std::optional<QStringList> allImagesFullPathFrom(const QString& folder, ConvertError* error);

    // A null message gives no record.
    static std::optional<ConvertError> errorWithMsg(const QString& message);

    // The name without its last extension; a leading dot does not start an
    // extension, so ".png" stays ".png" and "1.png.png" gives "1.png".
    static QString deletingPathExtension(const QString& name);

    // One "/" between folder and name, as a path join does.
    static QString joinPath(const QString& folder, const QString& name);

private:
    static std::optional<QStringList> fail(const QString& message, ConvertError* error);
};

} // namespace zev
