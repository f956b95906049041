<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>ConversionDriver</name>
    <message>
        <source>this conversion makes the default layout at the frames&apos; size and a bitrate only; the chosen layout, mask size, colour, largest size, gap or quality target needs the express conversion</source>
        <translation>此合成方式只按帧的原尺寸、默认布局和码率生成视频；所选的布局、遮罩大小、颜色、最大边长、间隔或质量目标需要快速合成</translation>
    </message>
</context>
<context>
    <name>ExpressDriver</name>
    <message>
        <source>the frames are %1×%2, which packs to %3×%4 in this layout; H.264 in yuv420p needs an even width and height (use frames of an even size, or --fit)</source>
        <translation>帧的尺寸为 %1×%2，按此布局拼接后为 %3×%4；yuv420p 的 H.264 需要偶数的宽和高（请使用偶数尺寸的帧，或 --fit）</translation>
    </message>
    <message>
        <source>the packed video is %1×%2 even with the frames at %3×%4: more than a fit of %5 allows.</source>
        <translation>即使把帧缩小到 %3×%4，拼接后的视频仍为 %1×%2，超出最大边长 %5 所允许的大小。</translation>
    </message>
</context>
<context>
    <name>PipelineRun</name>
    <message>
        <source>the frame folder %1 is not an absolute path</source>
        <translation>帧文件夹 %1 不是绝对路径</translation>
    </message>
    <message>
        <source>cannot remove %1, which describes the previous video: %2</source>
        <translation>无法删除描述上一个视频的 %1：%2</translation>
    </message>
</context>
</TS>
