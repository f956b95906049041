#pragma once

#include <QString>

namespace zev {

// The fixed texts a conversion shows its user, word for word. Every front
// end and every pipeline takes them from here, so the engine needs no front
// end to say what went wrong. The frame scanner's own messages stay with the
// scanner (FrameFolderScanner).
struct UserTexts {
    static inline const QString kBadFpsText = QStringLiteral("输入不是数字，请输入正确的帧率(0<FPS<60).");
    static inline const QString kFpsOutOfRange = QStringLiteral("请输入正确的帧率(0<FPS<60).");
    static inline const QString kFolderMissing = QStringLiteral("输入的文件夹路径不存在，请重新输入.");
    static inline const QString kNotAFolder = QStringLiteral("输入的不是文件夹，是一个文件，请重新输入.");
    static inline const QString kFramesNotConsecutive = QStringLiteral("文件夹下存在不连续图片.");
    static inline const QString kConversionFailed = QStringLiteral("合成视频过程出错，请重试.");
    // The success message, with the output folder in place of %1.
    static inline const QString kSuccessFormat = QStringLiteral("视频已经生成, 视频路径：%1");
};

} // namespace zev
