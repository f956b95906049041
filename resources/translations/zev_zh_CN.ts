<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CacheRecord</name>
    <message>
        <source>cannot remove the cache record %1: %2</source>
        <translation>无法删除缓存记录 %1：%2</translation>
    </message>
    <message>
        <source>cannot write the cache record %1: %2</source>
        <translation>无法写入缓存记录 %1：%2</translation>
    </message>
    <message>
        <source>there is no record of a finished full run (%1: %2)</source>
        <translation>没有完整合成结束的记录（%1：%2）</translation>
    </message>
    <message>
        <source>the cache record %1 cannot be read</source>
        <translation>无法读取缓存记录 %1</translation>
    </message>
    <message>
        <source>they come from %1 with %2 frames</source>
        <translation>它们来自 %1（%2 帧）</translation>
    </message>
</context>
<context>
    <name>CliController</name>
    <message>
        <source>missing the frame folder</source>
        <translation>缺少帧文件夹</translation>
    </message>
    <message>
        <source>--cache takes one folder, the one converted last, not %1</source>
        <translation>--cache 只接受一个文件夹（上次合成的那个），而不是 %1 个</translation>
    </message>
    <message>
        <source>choose either --preset or --slider, not both</source>
        <translation>--preset 和 --slider 只能选用其一</translation>
    </message>
    <message>
        <source>--cache has no meaning with --express: choose one</source>
        <translation>--cache 不能与 --express 同用，请选择其一</translation>
    </message>
    <message>
        <source>the conversion did not start</source>
        <translation>合成未能开始</translation>
    </message>
    <message>
        <source>&lt;output folder&gt;</source>
        <translation>&lt;输出文件夹&gt;</translation>
    </message>
    <message>
        <source>warning: %1</source>
        <translation>警告：%1</translation>
    </message>
    <message>
        <source>%1: cancelled; no video was written</source>
        <translation>%1：已取消，未生成视频</translation>
    </message>
    <message>
        <source>%1 of %2 folders converted, %3 failed</source>
        <translation>%2 个文件夹中已合成 %1 个，失败 %3 个</translation>
    </message>
    <message>
        <source>%1, %2 skipped</source>
        <translation>%1，跳过 %2 个</translation>
    </message>
    <message>
        <source>%1, %2 s in all</source>
        <translation>%1，共用时 %2 秒</translation>
    </message>
    <message>
        <source>unknown preset &apos;%1&apos; (use high, super or best)</source>
        <translation>未知的预设“%1”（可用 high、super 或 best）</translation>
    </message>
    <message>
        <source>the slider value must be a number from 0.0 to 1.0, not &apos;%1&apos;</source>
        <translation>滑块值必须是 0.0 到 1.0 之间的数字，而不是“%1”</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for more information.</source>
        <translation>运行“%1 --help”查看更多信息。</translation>
    </message>
    <message>
        <source>the conversion ended without a message</source>
        <translation>合成已结束，但没有给出结果消息</translation>
    </message>
    <message>
        <source>Usage: zev-cli [options] FOLDER...
</source>
        <translation>用法：zev-cli [选项] FOLDER...
</translation>
    </message>
    <message>
        <source>
Output: for each folder, the outcome goes to standard output, worded as the
desktop window words it (one error message, or &quot;%1&quot;
after a success); why it failed, and warnings, go to standard error.
Progress goes to standard error too: one line kept up to date on a terminal,
plain lines at most once a second otherwise, such as &quot;packing 120/480 frames,
41%, 2m 10s left&quot;. After several folders, a summary line follows there. Each
run is logged in a file of its own in $XDG_STATE_HOME/zev/runs
(~/.local/state/zev); a failure&apos;s reason names it.

Language: the messages on standard output are the window&apos;s Chinese in every
locale. The program&apos;s other texts (reasons, warnings, progress, this help)
follow the locale (LC_ALL, LC_MESSAGES, LANG): Chinese under zh_CN, English
otherwise. With --json the field names stay English, a stopped run&apos;s reason is
&quot;cancelled&quot;, and other reasons follow the locale as on standard error.

Any number of zev-cli runs and windows may convert different folders at once;
a second run of a folder that is being converted is refused at once.

Ctrl-C (SIGINT), SIGTERM or SIGHUP (the terminal closed) stops the running
conversion within a second and skips the folders after it: the tools it
started are stopped, no partly written video is left behind, and the next run
can start at once. Killed outright, zev-cli takes its tools with it, and the
next run removes what it left.

Exit status:
  0         every video was written
  1         a folder&apos;s settings or frames were refused, or its conversion
            failed; its message says why
  2         usage error: unknown option, missing folder, bad preset or slider
            value, --cache with several folders or with --express, an
            option of the express conversion without --express
  130, 143  stopped by SIGINT (Ctrl-C) or SIGTERM
  129       stopped by SIGHUP

Example: convert every animation folder under assets/ at 24 frames per second
  find assets -name 0.png -printf &apos;%h\0&apos; | xargs -0 zev-cli --fps 24 --json

</source>
        <translation>
输出：每个文件夹的结果写到标准输出，措辞与桌面窗口相同（一条错误信息，或在成功后
写出“%1”）；失败的原因和警告写到标准错误。
进度也写到标准错误：在终端上是一行不断更新的文字，否则最多每秒一行，例如
“正在拼接 120/480 帧，41%，剩余约 2 分 10 秒”。合成多个文件夹后，还会在那里写一行汇总。
每次合成都记录在 $XDG_STATE_HOME/zev/runs（~/.local/state/zev）中单独的日志文件里；
失败的原因会指明该文件。

语言：标准输出上的信息在任何区域设置下都是窗口的中文。程序的其他文字（原因、警告、
进度、本帮助）跟随区域设置（LC_ALL、LC_MESSAGES、LANG）：zh_CN 下为中文，
否则为英文。使用 --json 时字段名保持英文，被停止的合成的 reason 为
“cancelled”，其他原因与标准错误一样跟随区域设置。

任意多个 zev-cli 和窗口可以同时合成不同的文件夹；对正在合成的文件夹再次合成会被
立即拒绝。

Ctrl-C（SIGINT）、SIGTERM 或 SIGHUP（终端被关闭）会在一秒内停止正在进行的合成，
并跳过其后的文件夹：它启动的工具会被停止，不会留下写了一半的视频，下一次合成可以
立即开始。zev-cli 被直接杀死时，它的工具也随之结束，下一次合成会清除它留下的东西。

退出状态：
  0         所有视频都已写出
  1         某个文件夹的设置或序列帧被拒绝，或其合成失败；其信息说明了原因
  2         用法错误：未知选项、缺少文件夹、预设或滑块值不对、--cache 用于多个
            文件夹或与 --express 同用、不带 --express 使用快速合成的选项
  130, 143  被 SIGINT（Ctrl-C）或 SIGTERM 停止
  129       被 SIGHUP 停止

示例：以每秒 24 帧合成 assets/ 下的每个动画文件夹
  find assets -name 0.png -printf &apos;%h\0&apos; | xargs -0 zev-cli --fps 24 --json

</translation>
    </message>
    <message>
        <source>--cache-cap takes a size such as 500M or 2G, not &quot;%1&quot;</source>
        <translation>--cache-cap 需要 500M 或 2G 这样的大小，而不是“%1”</translation>
    </message>
    <message>
        <source>--cache-cap takes at most %1, not &quot;%2&quot;</source>
        <translation>--cache-cap 最大为 %1，而不是“%2”</translation>
    </message>
    <message>
        <source>--cache has no meaning for a video or animated image</source>
        <translation>--cache 不能用于视频或动图</translation>
    </message>
    <message>
        <source>--source-alpha takes straight or premultiplied, not &quot;%1&quot;</source>
        <translation>--source-alpha 只接受 straight 或 premultiplied，而不是“%1”</translation>
    </message>
    <message>
        <source>       zev-cli [options] FILE...
</source>
        <translation>      zev-cli [选项] FILE...
</translation>
    </message>
    <message>
        <source>Videos and animated images:
A FILE, a video or animated image with transparency (QuickTime with ProRes
4444 or the Animation codec, WebM with VP8 or VP9 alpha, animated PNG, GIF),
is converted by the express conversion, with every option below, into
output/NAME.mp4 beside it, NAME being the file&apos;s name without its extension
(the whole name when another file beside it, or zev.mp4, would share it), and
NAME.json is its description. It is read first: a file without transparency
is refused at once, with the reason (&quot;the video has no transparency:
yuv420p&quot;). Its frames keep the file&apos;s own timing unless --fps is given,
which shows them at that rate. Its alpha is taken as straight (not multiplied
into the colour), as PNG, GIF and WebM alpha are by definition and as QuickTime
files do not say; --source-alpha says otherwise. Animated WebP images are
refused: the FFmpeg this program runs cannot decode them.
  --source-alpha KIND  straight (the default) or premultiplied: how to read a
                       FILE&apos;s alpha where the file does not say

With --express, a FOLDER&apos;s frames may also be named as compositors name
them: one prefix and a number counting up by one from any number
(comp_00000.png, walk-1.png ...); they are taken in number order.

</source>
        <translation>视频和动图：
FILE 是带透明度的视频或动图（ProRes 4444 或 Animation 编码的 QuickTime、带 VP8 或
VP9 alpha 的 WebM、动态 PNG、GIF）时，会用快速合成、按下面的所有选项合成为其旁边的
output/NAME.mp4，NAME 是去掉扩展名的文件名（旁边另有文件或 zev.mp4 会与之同名时，
使用完整文件名），NAME.json 是它的描述。合成前先读取文件：没有透明度的文件会被立即
拒绝，并给出原因（“视频没有透明度：yuv420p”）。它的帧保持文件自身的时间，除非给出
--fps，此时按该帧率显示。它的 alpha 按直通（未乘入颜色）处理，因为 PNG、GIF 和 WebM
的 alpha 按定义如此，而 QuickTime 文件不作说明；--source-alpha 可另行指定。动态 WebP
图片会被拒绝：本程序使用的 FFmpeg 无法解码它们。
  --source-alpha KIND  straight（默认）或 premultiplied：文件未说明时如何读取
                       FILE 的 alpha

使用 --express 时，FOLDER 中的帧也可以按合成软件的方式命名：一个相同的前缀加一个
从任意数字开始、逐一递增的编号（comp_00000.png、walk-1.png ...）；按编号顺序使用。

</translation>
    </message>
    <message>
        <source>
Turns each FOLDER, a folder of transparent PNG frames named 0.png, 1.png,
2.png ..., into the video FOLDER/output/zev.mp4 (H.264; with --express, other
codecs and FOLDER/output/zev.webm on request): every video frame shows
the frame&apos;s transparency as a grey mask on the left and its colour on black on
the right. Other files in FOLDER are ignored. Several folders are converted one
after another with the same settings.

Options:
  -f, --fps TEXT       frames per second of the animation, 1 to 59 (default 20)
  -p, --preset NAME    quality preset: high (%1, 1100 kbit/s, the default),
                       super (%2, 2100 kbit/s) or best (%3, 3100 kbit/s)
  -s, --slider VALUE   rate slider position from 0.0 to 1.0 instead of a preset;
                       the bitrate is 100 + 4000 x VALUE kbit/s
  -c, --cache          skip the image work and re-encode the packed frames kept
                       from the folder&apos;s last full run (in
                       $XDG_CACHE_HOME/zev, ~/.cache/zev), with the new frame
                       rate and bitrate; one folder only
      --cache-cap SIZE how much the packed frames kept for --cache may take,
                       all folders together (default 2G; K, M, G or T, a bare
                       number is in M; at most 8388607T, larger sizes are
                       refused); the least recently used go first
  -e, --express        express conversion: one FFmpeg run straight from the
                       frames to the same video, many times faster, with no
                       intermediate images (and so nothing for --cache)
      --json           print one JSON object per folder instead of the texts:
                       folder, ok, message, reason, video, frames, seconds,
                       width, height, level (the level of the video&apos;s codec),
                       warning, bitrate when read back, and rateChoice
                       with --max-size or --quality (goal, budget or
                       target, setting, bytes, mask and colour, trials)
      --targets        list the target players, one a line, and exit
  -h, --help           show this help and exit
  -v, --version        show the version and exit

</source>
        <translation>
把每个 FOLDER（一个透明 PNG 序列帧文件夹，帧名为 0.png、1.png、2.png ...）
合成为视频 FOLDER/output/zev.mp4（H.264；使用 --express 时可按需选用其他编码格式
和 FOLDER/output/zev.webm）：每一帧视频的左边是该帧透明度的灰度遮罩，右边是铺在
黑色背景上的彩色画面。FOLDER 中的其他文件会被忽略。多个文件夹按顺序以相同的设置
逐个合成。

选项：
  -f, --fps TEXT       动画的帧率，1 到 59（默认 20）
  -p, --preset NAME    质量预设：high（%1，1100 kbit/s，默认）、
                       super（%2，2100 kbit/s）或 best（%3，3100 kbit/s）
  -s, --slider VALUE   码率滑块位置，0.0 到 1.0，用于代替预设；
                       码率为 100 + 4000 x VALUE kbit/s
  -c, --cache          跳过图片处理，用新的帧率和码率重新编码该文件夹上次
                       完整合成保留的拼接帧（在 $XDG_CACHE_HOME/zev，
                       即 ~/.cache/zev 中）；只能用于一个文件夹
      --cache-cap SIZE 为 --cache 保留的拼接帧（所有文件夹合计）最多可占的
                       空间（默认 2G；单位 K、M、G 或 T，只写数字时为 M；
                       最大 8388607T，更大的值会被拒绝）；最久未用的先删除
  -e, --express        快速合成：由 FFmpeg 一次直接从序列帧生成同样的视频，
                       速度快许多倍，不生成中间图片（因此也没有可供 --cache
                       使用的缓存）
      --json           每个文件夹输出一个 JSON 对象，代替文字：
                       folder、ok、message、reason、video、frames、seconds、
                       width、height、level（视频编码格式的级别）、warning，
                       读回时还有 bitrate，使用 --max-size 或 --quality 时还有
                       rateChoice（goal、budget 或 target、setting、bytes、
                       mask 和 colour、trials）
      --targets        列出目标播放器，每行一个，然后退出
  -h, --help           显示本帮助并退出
  -v, --version        显示版本并退出

</translation>
    </message>
</context>
<context>
    <name>CliMediaCommands</name>
    <message>
        <source>--unpack takes a video and an output folder</source>
        <translation>--unpack 需要一个视频和一个输出文件夹</translation>
    </message>
    <message>
        <source>%1 frames written to %2
</source>
        <translation>已将 %1 帧写入 %2
</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for more information.</source>
        <translation>运行“%1 --help”查看更多信息。</translation>
    </message>
    <message>
        <source>choose one of --unpack, --check, --inspect and --retarget</source>
        <translation>--unpack、--check、--inspect 和 --retarget 只能选用其一</translation>
    </message>
    <message>
        <source>--force goes with --unpack only</source>
        <translation>--force 只能与 --unpack 同用</translation>
    </message>
    <message>
        <source>--inspect takes one video</source>
        <translation>--inspect 只接受一个视频</translation>
    </message>
    <message>
        <source>--retarget takes a video, a target and an output folder</source>
        <translation>--retarget 需要一个视频、一个目标和一个输出文件夹</translation>
    </message>
    <message>
        <source>%1 also holds %2 numbered frames after %3 that are not the video&apos;s; they were left as they were
</source>
        <translation>%1 中在 %3 之后还有 %2 个不属于该视频的编号帧，它们保持原样
</translation>
    </message>
    <message>
        <source>unknown target &apos;%1&apos; (zev-cli --targets lists them)</source>
        <translation>未知的目标“%1”（zev-cli --targets 可列出全部目标）</translation>
    </message>
    <message>
        <source>decoded and encoded again</source>
        <translation>已解码并重新编码</translation>
    </message>
    <message>
        <source>copied with new descriptions</source>
        <translation>已复制并换上新的描述</translation>
    </message>
    <message>
        <source>%1 written for %2 (%3); there it %4
</source>
        <translation>已为 %2 写出 %1（%3）；在该目标下%4
</translation>
    </message>
    <message>
        <source>       zev-cli --inspect [--json] VIDEO
       zev-cli --retarget [--json] VIDEO TARGET OUT_FOLDER
</source>
        <translation>      zev-cli --inspect [--json] VIDEO
      zev-cli --retarget [--json] VIDEO TARGET OUT_FOLDER
</translation>
    </message>
    <message>
        <source>Which players a video plays in:
--inspect tells about any video: codec, profile and level, size, colour tags,
where the index lies, sound, the container&apos;s tags, the descriptions found
(zev.json and vapc.json beside it, the vapc box after ftyp, the marked
metadata) and whether they agree with each other and with the video, the
colour mode (as written, or told from the first frames&apos; pixels), and for
each target of zev-cli --targets: plays, may play or does not play, and why.
--retarget writes a copy of VIDEO for TARGET into OUT_FOLDER (its zev.mp4 and
the descriptions beside it): a stream copy with the target&apos;s descriptions
where only they differ, else the frames decoded and encoded again for the
target (CRF 18, 25 frames a second).

</source>
        <translation>视频能在哪些播放器中播放：
--inspect 报告任意视频的信息：编码格式、profile 和 level、尺寸、颜色标记、索引的
位置、音频、容器的标签、找到的描述（旁边的 zev.json 和 vapc.json、ftyp 之后的
vapc box、带标记的元数据）以及它们彼此之间、与视频之间是否一致、颜色模式（按写明
的，或由前几帧的像素判断），还有对 zev-cli --targets 中每个目标的判断：可以播放、
可能可以播放或无法播放，以及原因。
--retarget 为 TARGET 把 VIDEO 复制一份写入 OUT_FOLDER（其中的 zev.mp4 及旁边的
描述）：如果只有描述不同，就做流复制并换上目标的描述；否则为目标把帧解码后重新
编码（CRF 18，每秒 25 帧）。

</translation>
    </message>
    <message>
        <source>--check takes one frame folder, or one video or animated image</source>
        <translation>--check 只接受一个帧文件夹，或一个视频或动图</translation>
    </message>
    <message>
        <source>       zev-cli --unpack [--json] [--force] VIDEO OUT_FOLDER
       zev-cli --check [--json] FOLDER|FILE
</source>
        <translation>      zev-cli --unpack [--json] [--force] VIDEO OUT_FOLDER
      zev-cli --check [--json] FOLDER|FILE
</translation>
    </message>
    <message>
        <source>Reading a video back:
--unpack writes every frame of a ZEV video back out as a transparent PNG file,
0.png, 1.png, ... in OUT_FOLDER (created when missing): the mask and the colour
put together again as a player does, by the zev.json beside the video or, without
one, with the mask on the left half and the colour on the right. An OUT_FOLDER
that already holds numbered PNG frames (the frame folder itself, another
animation) is refused unless --force is given: then the video&apos;s frames replace
those of the same names, and later numbered frames stay as they were. The frames
are renamed into place only once all are written, so a failed or stopped
--unpack leaves none behind.
--check compares FOLDER&apos;s video (output/zev.mp4, or the zev.webm a WebM run
wrote) with FOLDER&apos;s frames (or a FILE&apos;s video, output/NAME.mp4 or NAME.webm
beside it, with the FILE&apos;s own frames), each video frame against the frame it
shows, and prints the mask PSNR, the colour PSNR (colour multiplied by alpha)
and the PSNR of the frames laid over white: the average over all frames and
the worst frame with its number. For the edge pixels (the frames&apos; partly
transparent ones, where rims show) it prints the PSNR laid over white and over
black, each with the mean signed error in levels: a negative mean is a dark
rim, a positive one a light rim. The video frames are matched to the frames
they show by the
animation&apos;s frame rate: zev.json&apos;s inputFps, the rate the conversion recorded
in the video, or the one rate that turns the frames into the video&apos;s frame
count; failing those, an assumed rate, which the result says it assumed
(inputFpsFrom and inputFpsAssumption with --json).
--json prints one JSON object instead of the text. Exit status 0 when it
could unpack or compare, 1 when it could not (the reason goes to standard
error), 2 for a usage error.
</source>
        <translation>读回视频：
--unpack 把 ZEV 视频的每一帧写回为透明 PNG 文件 0.png、1.png、...，放在 OUT_FOLDER
中（不存在时会创建）：像播放器那样把遮罩和彩色画面重新合在一起，依据视频旁的
zev.json；没有 zev.json 时，遮罩在左半边，彩色画面在右半边。如果 OUT_FOLDER 中
已有编号的 PNG 帧（例如序列帧文件夹本身或另一个动画），除非给出 --force，否则会
被拒绝；给出 --force 时，视频的帧替换同名的帧，编号在其后的帧保持原样。所有帧都
写完后才会改名就位，因此失败或被停止的 --unpack 不会留下任何帧。
--check 把 FOLDER 的视频（output/zev.mp4，或 WebM 合成写出的 zev.webm）与 FOLDER
中的序列帧比较（或把 FILE 的视频，即其旁边的 output/NAME.mp4 或 NAME.webm，与
FILE 自身的帧比较），每个视频帧与它显示的那一帧对照，输出遮罩 PSNR、颜色 PSNR
（颜色乘以 alpha）以及叠在白色上的画面的 PSNR：所有帧的平均值，以及最差的一帧
及其编号。对边缘像素（帧中部分透明、会显出描边的像素），输出叠在白色和黑色上的
PSNR，以及各自以色阶计的平均带符号误差：平均值为负表示暗边，为正表示亮边。视频帧按动画的帧率
对应到它们所显示的帧：zev.json 的 inputFps、合成时记录在视频中的帧率，或唯一能把
序列帧变成视频帧数的帧率；都没有时使用假定的帧率，结果中会说明这是假定的（--json
时为 inputFpsFrom 和 inputFpsAssumption）。
--json 输出一个 JSON 对象，代替文字。写回或比较成功时退出状态为 0，失败时为 1
（原因写到标准错误），用法错误时为 2。
</translation>
    </message>
</context>
<context>
    <name>CliProgressReporter</name>
    <message>
        <source>scanning</source>
        <translation>正在检查</translation>
    </message>
    <message>
        <source>extracting</source>
        <translation>正在提取</translation>
    </message>
    <message>
        <source>packing</source>
        <translation>正在拼接</translation>
    </message>
    <message>
        <source>encoding</source>
        <translation>正在编码</translation>
    </message>
    <message>
        <source>working</source>
        <translation>正在处理</translation>
    </message>
    <message>
        <source>%1 %2/%3 frames, %4%</source>
        <translation>%1 %2/%3 帧，%4%</translation>
    </message>
    <message>
        <source>%1, %2 left</source>
        <translation>%1，剩余约 %2</translation>
    </message>
    <message>
        <source>%1s</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>%1m %2s</source>
        <translation>%1 分 %2 秒</translation>
    </message>
    <message>
        <source>%1h %2m</source>
        <translation>%1 小时 %2 分</translation>
    </message>
    <message>
        <source>trial %1: %2</source>
        <translation>第 %1 次试编码：%2</translation>
    </message>
</context>
<context>
    <name>CodecLimits</name>
    <message>
        <source>the frames are %1, which packs to %2 in this layout</source>
        <translation>帧的尺寸为 %1，按此布局拼接后为 %2</translation>
    </message>
    <message>
        <source>%1; %2 in yuv420p needs an even width and height (use frames of an even size, or --fit)</source>
        <translation>%1；yuv420p 的 %2 需要偶数的宽和高（请使用偶数尺寸的帧，或 --fit）</translation>
    </message>
    <message>
        <source>%1; the H.265 encoder (x265) takes no side under %2 pixels (use larger frames, or another codec)</source>
        <translation>%1；H.265 编码器（x265）不接受小于 %2 像素的边长（请使用更大的帧，或换用其他编码格式）</translation>
    </message>
    <message>
        <source>The video is %1 pixels and needs %2 level %3: many phones&apos; decoders refuse it (they stop at level 4.1, about 1920×1080, or at %4 pixels on a side).</source>
        <translation>视频为 %1 像素，需要 %2 level %3：许多手机的解码器会拒绝它（它们最高支持 level 4.1，约 1920×1080，或每边 %4 像素）。</translation>
    </message>
    <message>
        <source>beyond the highest</source>
        <translation>超过最高级别</translation>
    </message>
    <message>
        <source>the half-size mask with a largest size (--mask-size half --fit %1)</source>
        <translation>使用一半大小的遮罩并限制最大尺寸（--mask-size half --fit %1）</translation>
    </message>
    <message>
        <source>frames of at most %1 (a %2 video, level %3)</source>
        <translation>帧不超过 %1（视频为 %2，level %3）</translation>
    </message>
    <message>
        <source>%1 What would fit: %2.</source>
        <translation>%1可行的做法：%2。</translation>
    </message>
    <message>
        <source>, or </source>
        <translation>，或</translation>
    </message>
    <message>
        <source>H.265 plays in Safari and on Apple&apos;s devices, but not in most other browsers nor on older Android phones; for the web, add an AV1 or VP9 video, or use H.264.</source>
        <translation>H.265 可在 Safari 和 Apple 设备上播放，但大多数其他浏览器和较旧的 Android 手机无法播放；用于网页时，请另外提供 AV1 或 VP9 视频，或改用 H.264。</translation>
    </message>
</context>
<context>
    <name>ConversionDriver</name>
    <message>
        <source>the frame folder changed during the run: it held %1 frames, now %2</source>
        <translation>合成期间帧文件夹发生了变化：原有 %1 帧，现有 %2 帧</translation>
    </message>
    <message>
        <source>convert left %1 masks and %2 colour images for %3 frames</source>
        <translation>convert 为 %3 帧只生成了 %1 张遮罩图和 %2 张彩色图</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>the packed frame %1 is missing or empty</source>
        <translation>拼接帧 %1 缺失或为空</translation>
    </message>
    <message>
        <source>%1 holds %2 PNG files besides the packed frames 00000.png … %3</source>
        <translation>%1 中除拼接帧 00000.png … %3 外还有 %2 个 PNG 文件</translation>
    </message>
    <message>
        <source>the cache %1 holds no packed frames of a finished full run of %2 with %3 frames: %4; convert without the cache first</source>
        <translation>缓存 %1 中没有 %2 的 %3 帧完整合成留下的拼接帧：%4；请先不使用缓存进行合成</translation>
    </message>
    <message>
        <source>this conversion makes the default layout at the frames&apos; size and a bitrate, in H.264 without sound, only; the chosen layout, mask size, colour, largest size, gap, quality target, codec or sound needs the express conversion</source>
        <translation>此合成方式只按帧的原尺寸、默认布局和码率生成不带音频的 H.264 视频；所选的布局、遮罩大小、颜色、最大边长、间隔、质量目标、编码格式或音频需要快速合成</translation>
    </message>
    <message>
        <source>the cache %1 cannot be used: %2; convert without the cache first</source>
        <translation>无法使用缓存 %1：%2；请先不使用缓存进行合成</translation>
    </message>
</context>
<context>
    <name>DurableFile</name>
    <message>
        <source>cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>cannot rename %1 to %2: %3</source>
        <translation>无法将 %1 重命名为 %2：%3</translation>
    </message>
    <message>
        <source>a folder stands at %1</source>
        <translation>%1 处是一个文件夹</translation>
    </message>
</context>
<context>
    <name>EmbeddedDescriptions</name>
    <message>
        <source>the index&apos;s chunk offsets are cut short</source>
        <translation>索引的块偏移表被截断</translation>
    </message>
    <message>
        <source>a chunk offset of the index (%1) lies outside the frames</source>
        <translation>索引中的一个块偏移（%1）不在帧数据范围内</translation>
    </message>
    <message>
        <source>the index&apos;s chunk offsets do not settle</source>
        <translation>索引的块偏移无法确定下来</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>the marked description has no closing marker</source>
        <translation>带标记的描述缺少结束标记</translation>
    </message>
    <message>
        <source>cannot write the players&apos; descriptions into %1: %2</source>
        <translation>无法将播放器所需的描述写入 %1：%2</translation>
    </message>
    <message>
        <source>it is not an MP4 file (it does not start with ftyp)</source>
        <translation>它不是 MP4 文件（不以 ftyp 开头）</translation>
    </message>
    <message>
        <source>its boxes end at byte %1 of %2</source>
        <translation>它的 box 在第 %1 字节处结束，而文件共 %2 字节</translation>
    </message>
    <message>
        <source>it is a fragmented MP4 file</source>
        <translation>它是分片 MP4 文件</translation>
    </message>
    <message>
        <source>it holds %1 indexes (moov boxes), not one</source>
        <translation>它含有 %1 个索引（moov box），而不是一个</translation>
    </message>
    <message>
        <source>its index is %1 bytes, more than %2</source>
        <translation>它的索引有 %1 字节，超过 %2</translation>
    </message>
    <message>
        <source>its index cannot be read</source>
        <translation>无法读取它的索引</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>the vapc box is %1 bytes: too long</source>
        <translation>vapc box 有 %1 字节，过长</translation>
    </message>
    <message>
        <source>%1 does not hold the vapc box that was written into it</source>
        <translation>%1 中没有写入其中的 vapc box</translation>
    </message>
    <message>
        <source>%1 does not hold the marked description that was written into it</source>
        <translation>%1 中没有写入其中的带标记的描述</translation>
    </message>
</context>
<context>
    <name>ExpressDriver</name>
    <message>
        <source>the frame folder changed during the run: it held %1 frames, now %2</source>
        <translation>合成期间帧文件夹发生了变化：原有 %1 帧，现有 %2 帧</translation>
    </message>
    <message>
        <source>the packed video is %1×%2 even with the frames at %3×%4: more than a fit of %5 allows.</source>
        <translation>即使把帧缩小到 %3×%4，拼接后的视频仍为 %1×%2，超出最大边长 %5 所允许的大小。</translation>
    </message>
    <message>
        <source>the sound file cannot be read: %1</source>
        <translation>无法读取音频文件：%1</translation>
    </message>
    <message>
        <source>the sound file %1 holds no sound stream</source>
        <translation>音频文件 %1 中没有音频流</translation>
    </message>
    <message>
        <source>the source %1 is not an absolute path</source>
        <translation>源文件 %1 不是绝对路径</translation>
    </message>
    <message>
        <source>a quality target needs frames to measure the trial videos against: for a video or animated image, give a size budget (--max-size) instead</source>
        <translation>质量目标需要用序列帧来测量试编码的视频：对视频或动图，请改为给出大小预算（--max-size）</translation>
    </message>
    <message>
        <source>a quality target needs its trial videos measured, which this run cannot do</source>
        <translation>质量目标需要测量试编码的视频，而本次合成无法测量</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>no video fits in %1 bytes: the smallest the encoder makes of these frames, at its coarsest setting (CRF %2), is %3 bytes</source>
        <translation>没有视频能放进 %1 字节：编码器以最粗的设置（CRF %2）由这些序列帧生成的最小视频为 %3 字节</translation>
    </message>
    <message>
        <source>the quality target of %1 dB is out of reach: the best trial (CRF %2) reached %3 dB in the lower of its mask and colour PSNR</source>
        <translation>无法达到 %1 dB 的质量目标：最好的一次试编码（CRF %2）在遮罩和颜色 PSNR 中较低的一项只达到 %3 dB</translation>
    </message>
</context>
<context>
    <name>FileLock</name>
    <message>
        <source>cannot open the lock %1: %2</source>
        <translation>无法打开锁文件 %1：%2</translation>
    </message>
    <message>
        <source>cannot lock %1: it keeps being replaced</source>
        <translation>无法锁定 %1：它不断被替换</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>无法打开 %1：%2</translation>
    </message>
    <message>
        <source>%1 is in use</source>
        <translation>%1 正在使用中</translation>
    </message>
    <message>
        <source>cannot lock %1: %2</source>
        <translation>无法锁定 %1：%2</translation>
    </message>
</context>
<context>
    <name>FrameCache</name>
    <message>
        <source>cannot remove the earlier packed frames in %1: %2</source>
        <translation>无法删除 %1 中先前的拼接帧：%2</translation>
    </message>
    <message>
        <source>cannot remove the symbolic link %1 from the cache: %2</source>
        <translation>无法从缓存中删除符号链接 %1：%2</translation>
    </message>
    <message>
        <source>removed the symbolic link %1, which stood where the folder&apos;s cache belongs</source>
        <translation>已删除符号链接 %1，它占据了该文件夹缓存应在的位置</translation>
    </message>
    <message>
        <source>the cache %1 is not as ZEV made it (%2), and %3</source>
        <translation>缓存 %1 已不是 ZEV 生成时的样子（%2），并且%3</translation>
    </message>
    <message>
        <source>the cache %1 is not as ZEV made it (%2); it was set aside as %3 and is not used</source>
        <translation>缓存 %1 已不是 ZEV 生成时的样子（%2）；已将其改名为 %3 放到一旁，不再使用</translation>
    </message>
    <message>
        <source>cannot examine %1: %2</source>
        <translation>无法检查 %1：%2</translation>
    </message>
    <message>
        <source>the cache folder %1 is a symbolic link</source>
        <translation>缓存文件夹 %1 是符号链接</translation>
    </message>
    <message>
        <source>the cache folder %1 is not a folder</source>
        <translation>缓存文件夹 %1 不是文件夹</translation>
    </message>
    <message>
        <source>the cache folder %1 belongs to another user</source>
        <translation>缓存文件夹 %1 属于其他用户</translation>
    </message>
    <message>
        <source>%1 is not a plain file</source>
        <translation>%1 不是普通文件</translation>
    </message>
    <message>
        <source>%1 is a symbolic link</source>
        <translation>%1 是符号链接</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 不是文件夹</translation>
    </message>
    <message>
        <source>%1 belongs to another user</source>
        <translation>%1 属于其他用户</translation>
    </message>
    <message>
        <source>cannot set it aside: %1</source>
        <translation>无法将其放到一旁：%1</translation>
    </message>
    <message>
        <source>cannot find a name to set it aside under</source>
        <translation>找不到可用于将其放到一旁的名称</translation>
    </message>
</context>
<context>
    <name>FrameLinkFolder</name>
    <message>
        <source>cannot create a folder for the frames&apos; links in %1: %2</source>
        <translation>无法在 %1 中创建存放序列帧链接的文件夹：%2</translation>
    </message>
    <message>
        <source>cannot link %1 to %2: %3</source>
        <translation>无法将 %1 链接到 %2：%3</translation>
    </message>
</context>
<context>
    <name>FramePreflight</name>
    <message>
        <source>There are no frames to convert.</source>
        <translation>没有可合成的帧。</translation>
    </message>
    <message>
        <source>Frame %1 %2.</source>
        <translation>帧 %1 %2。</translation>
    </message>
    <message>
        <source>Frame %1 is %2 but %3 is %4.</source>
        <translation>帧 %1 的尺寸是 %2，而 %3 的尺寸是 %4。</translation>
    </message>
    <message>
        <source>The frames are %1 pixels high; the H.264 video needs an even height.</source>
        <translation>帧高为 %1 像素；H.264 视频要求高度为偶数。</translation>
    </message>
    <message>
        <source>%1 is not a folder, so the video cannot be written there.</source>
        <translation>%1 不是文件夹，无法在其中写入视频。</translation>
    </message>
    <message>
        <source>The video cannot be written into %1: %2.</source>
        <translation>无法将视频写入 %1：%2。</translation>
    </message>
    <message>
        <source>%1 cannot be created: %2 is not a folder.</source>
        <translation>无法创建 %1：%2 不是文件夹。</translation>
    </message>
    <message>
        <source>%1 cannot be created in %2: %3.</source>
        <translation>无法在 %2 中创建 %1：%3。</translation>
    </message>
    <message>
        <source>the video in %1</source>
        <translation>%1 中的视频</translation>
    </message>
    <message>
        <source>the work files in %1 and the video in %2, which share a file system</source>
        <translation>%1 中的工作文件和 %2 中的视频（二者在同一文件系统上）</translation>
    </message>
    <message>
        <source>the work files in %1</source>
        <translation>%1 中的工作文件</translation>
    </message>
    <message>
        <source>The video will be %1 pixels (mask and colour side by side), larger than %2: phones and many players will refuse to play it.</source>
        <translation>视频将为 %1 像素（遮罩与彩色并排），大于 %2：手机和许多播放器将无法播放。</translation>
    </message>
    <message>
        <source>Not enough space for %1: at least %2 is needed, but only %3 is free.</source>
        <translation>空间不足，无法存放 %1：至少需要 %2，但只剩 %3 可用。</translation>
    </message>
    <message>
        <source>Space may run short for %1: frames that compress badly need up to %2, and %3 is free.</source>
        <translation>存放 %1 的空间可能不足：难以压缩的帧最多需要 %2，目前可用 %3。</translation>
    </message>
</context>
<context>
    <name>FrameSequence</name>
    <message>
        <source>%1 and %2 are both frame %3</source>
        <translation>%1 和 %2 都是第 %3 帧</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 至 %2</translation>
    </message>
    <message>
        <source>frame %1 is missing: %2 follows %3</source>
        <translation>缺少第 %1 帧：%3 之后是 %2</translation>
    </message>
    <message>
        <source>%1 does not end in a frame number of at most %2 digits</source>
        <translation>%1 的名称不是以不超过 %2 位的帧编号结尾</translation>
    </message>
    <message>
        <source>the frames&apos; names do not share one prefix: %1 and %2</source>
        <translation>序列帧的名称前缀不一致：%1 和 %2</translation>
    </message>
</context>
<context>
    <name>H264Level</name>
    <message>
        <source>The video is %1 pixels and needs H.264 level %2: many phones&apos; decoders refuse it (they stop at level 4.1, %3 macroblocks a frame, about 1920×1080, or at %4 pixels on a side).</source>
        <translation>视频为 %1 像素，需要 H.264 level %2：许多手机的解码器会拒绝它（它们最高支持 level 4.1，即每帧 %3 个宏块，约 1920×1080，或每边 %4 像素）。</translation>
    </message>
    <message>
        <source>beyond 6.2</source>
        <translation>超过 6.2</translation>
    </message>
    <message>
        <source>the half-size mask with a largest size (--mask-size half --fit %1)</source>
        <translation>使用一半大小的遮罩并限制最大尺寸（--mask-size half --fit %1）</translation>
    </message>
    <message>
        <source>frames of at most %1 (a %2 video, level %3)</source>
        <translation>帧不超过 %1（视频为 %2，level %3）</translation>
    </message>
    <message>
        <source>%1 What would fit: %2.</source>
        <translation>%1可行的做法：%2。</translation>
    </message>
    <message>
        <source>, or </source>
        <translation>，或</translation>
    </message>
</context>
<context>
    <name>ImageStages</name>
    <message>
        <source>extracting the masks of %1 … %2</source>
        <translation>提取 %1 … %2 的遮罩</translation>
    </message>
    <message>
        <source>laying %1 … %2 onto black</source>
        <translation>将 %1 … %2 铺到黑色背景上</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>packing %1</source>
        <translation>拼接 %1</translation>
    </message>
</context>
<context>
    <name>MarkedDescription</name>
    <message>
        <source>the marked description is not a JSON object: %1</source>
        <translation>带标记的描述不是 JSON 对象：%1</translation>
    </message>
    <message>
        <source>the marked description has no &quot;descript&quot;</source>
        <translation>带标记的描述中没有 &quot;descript&quot;</translation>
    </message>
    <message>
        <source>the marked description names no video size</source>
        <translation>带标记的描述未给出视频尺寸</translation>
    </message>
    <message>
        <source>the marked description&apos;s regions do not lie inside its %1×%2 video</source>
        <translation>带标记的描述中的区域超出了它的 %1×%2 视频</translation>
    </message>
    <message>
        <source>the text between the markers is %1 bytes: too long for a description</source>
        <translation>标记之间的文本有 %1 字节，作为描述过长</translation>
    </message>
    <message>
        <source>the text between the markers is not base64</source>
        <translation>标记之间的文本不是 base64</translation>
    </message>
    <message>
        <source>the text between the markers is not zlib-compressed</source>
        <translation>标记之间的文本不是 zlib 压缩的数据</translation>
    </message>
</context>
<context>
    <name>MediaSource</name>
    <message>
        <source>%1 holds no video</source>
        <translation>%1 中没有视频</translation>
    </message>
    <message>
        <source>%1 is an animated WebP image, which the FFmpeg this program runs cannot decode; export the animation as animated PNG, WebM or PNG frames instead</source>
        <translation>%1 是动态 WebP 图片，本程序使用的 FFmpeg 无法解码；请改为导出动态 PNG、WebM 或 PNG 序列帧</translation>
    </message>
    <message>
        <source>the video has no transparency: %1</source>
        <translation>视频没有透明度：%1</translation>
    </message>
    <message>
        <source>ffprobe names no pixel format</source>
        <translation>ffprobe 未给出像素格式</translation>
    </message>
    <message>
        <source>%1: ffprobe gives no frame size</source>
        <translation>%1：ffprobe 未给出画面尺寸</translation>
    </message>
    <message>
        <source>%1: ffprobe gives no frame rate</source>
        <translation>%1：ffprobe 未给出帧率</translation>
    </message>
    <message>
        <source>%1 holds no frame</source>
        <translation>%1 中没有任何帧</translation>
    </message>
</context>
<context>
    <name>MediaSourceReader</name>
    <message>
        <source>ffmpeg gave no frame of %1</source>
        <translation>ffmpeg 没有给出 %1 的任何帧</translation>
    </message>
</context>
<context>
    <name>OutputArguments</name>
    <message>
        <source>unknown layout &apos;%1&apos; (use mask-left, mask-right, mask-top or mask-bottom)</source>
        <translation>未知的布局“%1”（可用 mask-left、mask-right、mask-top 或 mask-bottom）</translation>
    </message>
    <message>
        <source>unknown mask size &apos;%1&apos; (use full or half)</source>
        <translation>未知的遮罩尺寸“%1”（可用 full 或 half）</translation>
    </message>
    <message>
        <source>unknown colour mode &apos;%1&apos; (use premultiplied or straight)</source>
        <translation>未知的颜色模式“%1”（可用 premultiplied 或 straight）</translation>
    </message>
    <message>
        <source>--fit takes a size from 64 to 16384 pixels, not &apos;%1&apos;</source>
        <translation>--fit 接受 64 到 16384 像素的尺寸，而不是“%1”</translation>
    </message>
    <message>
        <source>choose either a bitrate (--preset, --slider) or --crf, not both</source>
        <translation>码率（--preset、--slider）和 --crf 只能选用其一</translation>
    </message>
    <message>
        <source>--gap takes an even number of pixels from 0 to 256, not &apos;%1&apos;</source>
        <translation>--gap 接受 0 到 256 之间的偶数像素，而不是“%1”</translation>
    </message>
    <message>
        <source>unknown target &apos;%1&apos; (zev-cli --targets lists them: %2)</source>
        <translation>未知的目标“%1”（zev-cli --targets 可列出全部目标：%2）</translation>
    </message>
    <message>
        <source>the target %1 needs --express: the default conversion makes the default layout in H.264 only</source>
        <translation>目标 %1 需要 --express：默认合成只生成默认布局的 H.264 视频</translation>
    </message>
    <message>
        <source>--audio takes a sound file</source>
        <translation>--audio 需要一个音频文件</translation>
    </message>
    <message>
        <source>--crf takes a whole number from 0 to %1 for %2, not &apos;%3&apos;</source>
        <translation>对于 %2，--crf 接受 0 到 %1 的整数，而不是“%3”</translation>
    </message>
    <message>
        <source>unknown codec &apos;%1&apos; (use h264, h265, av1 or vp9)</source>
        <translation>未知的编码格式“%1”（可用 h264、h265、av1 或 vp9）</translation>
    </message>
    <message>
        <source>unknown container &apos;%1&apos; (use mp4 or webm)</source>
        <translation>未知的容器“%1”（可用 mp4 或 webm）</translation>
    </message>
    <message>
        <source>%1 does not go in %2: H.264 and H.265 go in mp4, VP9 in webm, AV1 in either</source>
        <translation>%1 不能放入 %2：H.264 和 H.265 放入 mp4，VP9 放入 webm，AV1 两者皆可</translation>
    </message>
    <message>
        <source>--layout, --mask-size, --colour, --fit, --crf, --gap, --codec, --container, --audio, --max-size and --quality need --express: the default conversion makes the default layout in H.264</source>
        <translation>--layout、--mask-size、--colour、--fit、--crf、--gap、--codec、--container、--audio、--max-size 和 --quality 需要 --express：默认合成只生成默认布局的 H.264 视频</translation>
    </message>
    <message>
        <source>choose either --max-size or --quality, not both</source>
        <translation>--max-size 和 --quality 只能选用其一</translation>
    </message>
    <message>
        <source>--max-size and --quality choose the quality themselves: leave out --preset, --slider and --crf</source>
        <translation>--max-size 和 --quality 会自行选择质量：请不要同时给出 --preset、--slider 和 --crf</translation>
    </message>
    <message>
        <source>--max-size takes a size in bytes such as 250000, 500k or 1.5M, not &apos;%1&apos;</source>
        <translation>--max-size 需要以字节计的大小，例如 250000、500k 或 1.5M，而不是“%1”</translation>
    </message>
    <message>
        <source>--quality takes a PSNR from %1 to %2 dB, such as 40, not &apos;%3&apos;</source>
        <translation>--quality 需要 %1 到 %2 dB 之间的 PSNR，例如 40，而不是“%3”</translation>
    </message>
    <message>
        <source>Layout, size, quality, codec and sound (all but --describe and --target need
--express):
      --layout LAYOUT  where the mask lies against the colour: mask-left (the
                       default), mask-right, mask-top or mask-bottom; the two
                       are exact halves of the video
      --mask-size SIZE full (default) or half: the mask at half the width and
                       height, each region on 16-pixel boundaries, 16 pixels
                       apart; players find the regions in zev.json
      --colour MODE    premultiplied (default: the colour laid onto black) or
                       straight (the frame&apos;s own colour, carried smoothly
                       over the fully transparent area around it, so that
                       neither the codec nor a player pulls black into edges)
      --fit N          scale the frames down, keeping their shape, until the
                       packed video is at most N pixels on a side and no larger
                       than an N x N*9/16 frame (--fit 1920: H.264 level 4.1,
                       which phones decode)
      --crf N          aim at the encoder&apos;s quality N instead of a bitrate, on
                       its own scale: 0 (best) to 51 for h264 and h265, to 63
                       for av1 and vp9; the bitrate reached is reported. The
                       colour of x264&apos;s 18, 23 and 28 came, on the sample
                       animation, at h265 20, 25, 30 (half the bytes), av1 31,
                       41, 51 and vp9 28, 38, 47 (two fifths). A bitrate
                       (--preset, --slider) is the average every codec aims at,
                       so the newer codecs give a better picture at that rate
      --gap N          N pixels (even, 0 to 256) of black between the two regions,
                       which then start on 16-pixel boundaries
      --codec CODEC    h264 (the default), h265 (MP4 tagged hvc1, for Safari;
                       most other browsers and older Android play none), av1
                       (MP4, or WebM with --container webm) or vp9 (WebM)
      --container C    mp4 or webm, where the codec allows both (av1); the
                       video is FOLDER/output/zev.mp4 or zev.webm, and the
                       other one an earlier run left is removed
      --audio FILE     mux the first sound stream of FILE as the video&apos;s one
                       sound track (AAC in MP4, Opus in WebM), cut or padded
                       with silence to the animation&apos;s length
      --describe       write FOLDER/output/zev.json, the description of the
                       regions, even for the default layout (any conversion);
                       it is written whenever the layout, mask size, colour,
                       gap, codec or sound is not the default, and removed
                       otherwise
      --max-size BYTES the finest quality whose video file is at most BYTES
                       (250000, 500k or 1.5M; k is 1024 bytes, M 1024 k) and
                       no more than 5 % under, found by a few trial encodes;
                       refused, naming the smallest size possible, when even
                       the coarsest quality does not fit
      --quality DB     the smallest video whose mask PSNR and colour PSNR, as
                       --check measures them, both reach DB (20 to 60; 40 is
                       good, 45 very good), found by a few trial encodes
      --target NAME    start from the choices of a target player (zev-cli
                       --targets lists them): layout, mask size, alignment,
                       colour, codec and the descriptions its players read;
                       the options above still change them, and the run warns
                       where the video then no longer fits the target
</source>
        <translation>布局、尺寸、质量、编码格式和音频（除 --describe 和 --target 外都需要
--express）：
      --layout LAYOUT  遮罩相对彩色画面的位置：mask-left（默认）、mask-right、
                       mask-top 或 mask-bottom；两部分恰好各占视频的一半
      --mask-size SIZE full（默认）或 half：遮罩为一半宽高，每个区域对齐到
                       16 像素边界、相隔 16 像素；播放器从 zev.json 得知区域
      --colour MODE    premultiplied（默认：彩色铺在黑色背景上）或 straight
                       （帧自身的颜色，并平滑地延伸到周围整个完全透明的区域，
                       使编码器和播放器都不会把黑色带进边缘）
      --fit N          按原比例缩小帧，直到拼接后的视频每边最多 N 像素，且不大于
                       N x N*9/16 的画面（--fit 1920：H.264 level 4.1，手机可解码）
      --crf N          以编码器的质量 N 为目标，代替码率，按各编码器自己的刻度：
                       h264 和 h265 为 0（最好）到 51，av1 和 vp9 为 0 到 63；
                       会报告实际达到的码率。在示例动画上，x264 在 18、23、28
                       时的颜色质量，h265 在 20、25、30 时达到（字节数减半），
                       av1 在 31、41、51、vp9 在 28、38、47 时达到（约五分之二）。
                       码率（--preset、--slider）是每种编码器都瞄准的平均值，
                       因此在同样的码率下，较新的编码格式画质更好
      --gap N          两个区域之间 N 像素（偶数，0 到 256）的黑色间隔，
                       区域随之对齐到 16 像素边界
      --codec CODEC    h264（默认）、h265（MP4，标记为 hvc1，供 Safari 使用；
                       大多数其他浏览器和较旧的 Android 都无法播放）、av1
                       （MP4，或配合 --container webm 使用 WebM）或 vp9（WebM）
      --container C    mp4 或 webm，用于两者都支持的编码格式（av1）；视频为
                       FOLDER/output/zev.mp4 或 zev.webm，早先合成留下的另一个
                       会被删除
      --audio FILE     把 FILE 的第一条音频流封装为视频唯一的音轨（MP4 中为
                       AAC，WebM 中为 Opus），按动画长度截断或以静音补齐
      --describe       写出 FOLDER/output/zev.json（区域的描述），默认布局也写
                       （任何合成均可）；布局、遮罩尺寸、颜色模式、间隔、编码格式
                       或音频不是默认值时总会写出，否则删除
      --max-size BYTES 视频文件最多 BYTES（250000、500k 或 1.5M；k 为 1024 字节，
                       M 为 1024 k）且不低于它 5 % 时的最高质量，通过几次试编码
                       找到；连最低质量也放不下时拒绝，并给出可能的最小大小
      --quality DB     遮罩 PSNR 和颜色 PSNR（按 --check 的测量）都达到 DB（20 到
                       60；40 为好，45 为很好）的最小视频，通过几次试编码找到
      --target NAME    以某个目标播放器的选择为起点（zev-cli --targets 可列出）：
                       布局、遮罩大小、对齐、颜色、编码格式以及其播放器读取的
                       描述；上面的选项仍可更改它们，视频因此不再符合目标时，
                       合成会发出警告
</translation>
    </message>
</context>
<context>
    <name>PackedVideo</name>
    <message>
        <source>%1 describes a %2×%3 video, but %4 is %5×%6</source>
        <translation>%1 描述的是 %2×%3 的视频，而 %4 的尺寸是 %5×%6</translation>
    </message>
    <message>
        <source>%1 is too small to hold a mask and a colour frame</source>
        <translation>%1 太小，容纳不下遮罩和彩色画面</translation>
    </message>
    <message>
        <source>%1 holds no frame to decode</source>
        <translation>%1 中没有可解码的帧</translation>
    </message>
    <message>
        <source>%1 holds no video stream</source>
        <translation>%1 中没有视频流</translation>
    </message>
    <message>
        <source>%1: ffprobe gives no frame size</source>
        <translation>%1：ffprobe 未给出画面尺寸</translation>
    </message>
    <message>
        <source>%1 claims frames of %2×%3, larger than any decoder level allows (at most %4 pixels, no side above %5): it is not decoded</source>
        <translation>%1 声称画面为 %2×%3，超出了任何解码器级别所允许的大小（最多 %4 像素，任一边不超过 %5）：不予解码</translation>
    </message>
    <message>
        <source>%1: ffprobe gives no frame rate</source>
        <translation>%1：ffprobe 未给出帧率</translation>
    </message>
</context>
<context>
    <name>PackedVideoDecoder</name>
    <message>
        <source>the video&apos;s frame size is unknown</source>
        <translation>视频的画面尺寸未知</translation>
    </message>
    <message>
        <source>cannot start ffmpeg (%1): %2</source>
        <translation>无法启动 ffmpeg（%1）：%2</translation>
    </message>
    <message>
        <source>the decoder is not running</source>
        <translation>解码器未在运行</translation>
    </message>
    <message>
        <source>decoding was stopped</source>
        <translation>解码已被停止</translation>
    </message>
    <message>
        <source>ffmpeg cannot decode %1: %2</source>
        <translation>ffmpeg 无法解码 %1：%2</translation>
    </message>
    <message>
        <source>it exited with status %1</source>
        <translation>进程以状态 %1 退出</translation>
    </message>
    <message>
        <source>%1 ended in the middle of frame %2: expected %3×%4 frames</source>
        <translation>%1 在第 %2 帧中途结束：应为 %3×%4 的帧</translation>
    </message>
    <message>
        <source>%1 is damaged after frame %2: %3</source>
        <translation>%1 在第 %2 帧之后已损坏：%3</translation>
    </message>
    <message>
        <source>ffmpeg gave no frame of %1 for %2 s</source>
        <translation>ffmpeg 在 %2 秒内没有给出 %1 的任何一帧</translation>
    </message>
    <message>
        <source>ffmpeg gave no frame of %1 for %2 s: %3</source>
        <translation>ffmpeg 在 %2 秒内没有给出 %1 的任何一帧：%3</translation>
    </message>
</context>
<context>
    <name>PendingFiles</name>
    <message>
        <source>cannot remove %1, which describes the previous video: %2</source>
        <translation>无法删除描述上一个视频的 %1：%2</translation>
    </message>
</context>
<context>
    <name>PendingVideo</name>
    <message>
        <source>ffmpeg left no video at %1</source>
        <translation>ffmpeg 未在 %1 生成视频</translation>
    </message>
    <message>
        <source>cannot rename %1 to %2: %3</source>
        <translation>无法将 %1 重命名为 %2：%3</translation>
    </message>
    <message>
        <source>cannot write %1 to the disk: %2</source>
        <translation>无法将 %1 写入磁盘：%2</translation>
    </message>
</context>
<context>
    <name>PipelineRun</name>
    <message>
        <source>the frame folder %1 is not an absolute path</source>
        <translation>帧文件夹 %1 不是绝对路径</translation>
    </message>
    <message>
        <source>.</source>
        <comment>ends a reason before the log&apos;s path</comment>
        <translation>。</translation>
    </message>
    <message>
        <source>%1 The run&apos;s log is %2.</source>
        <translation>%1本次运行的日志：%2</translation>
    </message>
    <message>
        <source>cannot read the folder %1: %2</source>
        <translation>无法读取文件夹 %1：%2</translation>
    </message>
    <message>
        <source>cannot remove %1, which describes the previous video: %2</source>
        <translation>无法删除描述上一个视频的 %1：%2</translation>
    </message>
    <message>
        <source>%1 and %2 are both frame %3</source>
        <translation>%1 和 %2 都是第 %3 帧</translation>
    </message>
    <message>
        <source>frame 0 is missing: the first frame is %1</source>
        <translation>缺少第 0 帧：第一帧是 %1</translation>
    </message>
    <message>
        <source>frame %1 is missing: %2 follows %3</source>
        <translation>缺少第 %1 帧：%3 之后是 %2</translation>
    </message>
    <message>
        <source>%1 stands where frame %2 should be</source>
        <translation>%1 处在本应是第 %2 帧的位置</translation>
    </message>
    <message>
        <source>The previous video %1 could not be removed (%2); the folder&apos;s video is now %3.</source>
        <translation>无法删除先前的视频 %1（%2）；该文件夹的视频现在是 %3。</translation>
    </message>
    <message>
        <source>The video no longer fits the target %1 (%2): %3.</source>
        <translation>视频已不再符合目标 %1（%2）：%3。</translation>
    </message>
    <message>
        <source>The express conversion takes these frames (%1) in number order.</source>
        <translation>快速合成可以按编号顺序使用这些序列帧（%1）。</translation>
    </message>
</context>
<context>
    <name>PlayerTarget</name>
    <message>
        <source>mask left and colour right</source>
        <translation>左遮罩、右彩色</translation>
    </message>
    <message>
        <source>colour left and mask right</source>
        <translation>左彩色、右遮罩</translation>
    </message>
    <message>
        <source>mask above and colour below</source>
        <translation>上遮罩、下彩色</translation>
    </message>
    <message>
        <source>colour above and alpha below</source>
        <translation>上彩色、下 alpha</translation>
    </message>
    <message>
        <source>%1 or %2</source>
        <comment>the last of a list of choices</comment>
        <translation>%1 或 %2</translation>
    </message>
    <message>
        <source>%1 file: this player reads %2 only</source>
        <translation>%1 文件：此播放器只能读取 %2</translation>
    </message>
    <message>
        <source>%1 video: this player plays %2 only</source>
        <translation>%1 视频：此播放器只能播放 %2</translation>
    </message>
    <message>
        <source>H.265 without the hvc1 tag</source>
        <translation>H.265 没有 hvc1 标记</translation>
    </message>
    <message>
        <source>no description box after ftyp</source>
        <translation>ftyp 之后没有描述 box</translation>
    </message>
    <message>
        <source>their web build also fetches %1 beside the video</source>
        <translation>其 Web 版还会获取视频旁的 %1</translation>
    </message>
    <message>
        <source>the player reads the description only when told to use the metadata</source>
        <translation>只有让播放器使用元数据时，它才会读取描述</translation>
    </message>
    <message>
        <source>without the marked description: only with the alpha direction set to the mask&apos;s side</source>
        <translation>没有带标记的描述：只有把 alpha 方向设为遮罩所在一侧时才能播放</translation>
    </message>
    <message>
        <source>no yyeffectmp4json description, and the frame is not two exact halves side by side</source>
        <translation>没有 yyeffectmp4json 描述，且画面不是左右恰好对半的两部分</translation>
    </message>
    <message>
        <source>the regions are not %1 in exact halves</source>
        <translation>区域并非恰好对半的%1布局</translation>
    </message>
    <message>
        <source>premultiplied colour: tell the player so (its premultiplied attribute or option)</source>
        <translation>预乘颜色：需告知播放器（通过其 premultiplied 属性或选项）</translation>
    </message>
    <message>
        <source>the colour mode is not written and the pixels do not tell: this player draws premultiplied colour only</source>
        <translation>颜色模式未写明，从像素也无法判断：此播放器只能绘制预乘颜色</translation>
    </message>
    <message>
        <source>the colour mode is not written and the pixels do not tell: this player expects straight colour</source>
        <translation>颜色模式未写明，从像素也无法判断：此播放器需要直通颜色</translation>
    </message>
    <message>
        <source>premultiplied colour: this player expects straight</source>
        <translation>预乘颜色：此播放器需要直通颜色</translation>
    </message>
    <message>
        <source>straight colour: this player draws premultiplied colour only</source>
        <translation>直通颜色：此播放器只能绘制预乘颜色</translation>
    </message>
    <message>
        <source>%1 px on a side: above %2</source>
        <translation>边长 %1 px：超过 %2</translation>
    </message>
    <message>
        <source>%1×%2: not a multiple of 16 pixels</source>
        <translation>%1×%2：不是 16 像素的整数倍</translation>
    </message>
    <message>
        <source>Mask left, colour right: the default, for mobile players</source>
        <translation>遮罩在左、彩色在右：默认，适用于移动端播放器</translation>
    </message>
    <message>
        <source>Colour above, alpha below, straight: canvas players</source>
        <translation>彩色在上、alpha 在下、直通：canvas 播放器</translation>
    </message>
    <message>
        <source>Colour top left, half-size alpha right, vapc box: gift players</source>
        <translation>彩色在左上、半尺寸 alpha 在右、vapc box：礼物动效播放器</translation>
    </message>
    <message>
        <source>Mask left, colour right, marked metadata: gift players</source>
        <translation>遮罩在左、彩色在右、带标记的元数据：礼物动效播放器</translation>
    </message>
    <message>
        <source>Colour left, mask right, straight, VP9 WebM: visual-novel engines</source>
        <translation>彩色在左、遮罩在右、直通、VP9 WebM：视觉小说引擎</translation>
    </message>
    <message>
        <source>Colour above, alpha below, AV1: web components</source>
        <translation>彩色在上、alpha 在下、AV1：Web 组件</translation>
    </message>
    <message>
        <source>Colour above, alpha below, H.265 (hvc1): web components in Safari</source>
        <translation>彩色在上、alpha 在下、H.265（hvc1）：Safari 中的 Web 组件</translation>
    </message>
    <message>
        <source>Colour left, mask right, straight, whole 16-pixel blocks: game engines, AR</source>
        <translation>彩色在左、遮罩在右、直通、整 16 像素块：游戏引擎、AR</translation>
    </message>
    <message>
        <source>Colour above, mask below, straight, whole 16-pixel blocks: game engines, AR</source>
        <translation>彩色在上、遮罩在下、直通、整 16 像素块：游戏引擎、AR</translation>
    </message>
</context>
<context>
    <name>PngFrameFile</name>
    <message>
        <source>cannot read the frame %1: %2</source>
        <translation>无法读取帧 %1：%2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>它不是普通文件</translation>
    </message>
</context>
<context>
    <name>PngHeader</name>
    <message>
        <source>not a regular file</source>
        <translation>不是普通文件</translation>
    </message>
    <message>
        <source>cannot be read: %1</source>
        <translation>无法读取：%1</translation>
    </message>
    <message>
        <source>is an empty file</source>
        <translation>是空文件</translation>
    </message>
    <message>
        <source>is not a PNG file</source>
        <translation>不是 PNG 文件</translation>
    </message>
    <message>
        <source>has a damaged PNG header</source>
        <translation>的 PNG 文件头已损坏</translation>
    </message>
</context>
<context>
    <name>ProgressTexts</name>
    <message>
        <source>Checking the frames…</source>
        <translation>正在检查序列帧…</translation>
    </message>
    <message>
        <source>Extracting</source>
        <translation>正在提取</translation>
    </message>
    <message>
        <source>Packing</source>
        <translation>正在拼接</translation>
    </message>
    <message>
        <source>Encoding</source>
        <translation>正在编码</translation>
    </message>
    <message>
        <source>%1 %2/%3 frames</source>
        <translation>%1 %2/%3 帧</translation>
    </message>
    <message>
        <source>Estimating the time left…</source>
        <translation>正在估算剩余时间…</translation>
    </message>
    <message>
        <source>about %1 s</source>
        <translation>约 %1 秒</translation>
    </message>
    <message>
        <source>about %1 min %2 s</source>
        <translation>约 %1 分 %2 秒</translation>
    </message>
    <message>
        <source>about %1 h %2 min</source>
        <translation>约 %1 小时 %2 分</translation>
    </message>
    <message>
        <source>Trial %1: %2</source>
        <translation>第 %1 次试编码：%2</translation>
    </message>
</context>
<context>
    <name>QualityCheck</name>
    <message>
        <source>%1: the frames are not numbered 0, 1, 2 … without a gap (frame %2 is %3)</source>
        <translation>%1：帧没有按 0、1、2 … 连续编号（第 %2 帧是 %3）</translation>
    </message>
    <message>
        <source>frame %1 is %2×%3, but the video&apos;s frames are %4×%5</source>
        <translation>帧 %1 的尺寸是 %2×%3，而视频的画面是 %4×%5</translation>
    </message>
    <message>
        <source>%1: %2 video frames against %3 source frames at %4 fps
</source>
        <translation>%1：%2 个视频帧对照 %3 个源帧（动画帧率 %4 fps）
</translation>
    </message>
    <message>
        <source>no frame folder was given</source>
        <translation>未指定帧文件夹</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 不是文件夹</translation>
    </message>
    <message>
        <source>%1 holds no PNG frames</source>
        <translation>%1 中没有 PNG 帧</translation>
    </message>
    <message>
        <source>%1 holds PNG files that are not named by a number</source>
        <translation>%1 中有不以数字命名的 PNG 文件</translation>
    </message>
    <message>
        <source>%1 is %2×%3, but the video&apos;s frames are %4×%5</source>
        <translation>%1 为 %2×%3，但视频的画面为 %4×%5</translation>
    </message>
</context>
<context>
    <name>QualityReport</name>
    <message>
        <source>mask PSNR: average %1, worst %2 (frame %3)</source>
        <translation>遮罩 PSNR：平均 %1，最差 %2（第 %3 帧）</translation>
    </message>
    <message>
        <source>colour PSNR: average %1, worst %2 (frame %3)</source>
        <translation>颜色 PSNR：平均 %1，最差 %2（第 %3 帧）</translation>
    </message>
    <message>
        <source>over white PSNR: average %1, worst %2 (frame %3)</source>
        <translation>叠在白色上的 PSNR：平均 %1，最差 %2（第 %3 帧）</translation>
    </message>
    <message>
        <source>edge pixels (0 &lt; alpha &lt; 255): none</source>
        <translation>边缘像素（0 &lt; alpha &lt; 255）：无</translation>
    </message>
    <message>
        <source>edge pixels (0 &lt; alpha &lt; 255, %1 % of all): over white %2, mean error %3; over black %4, mean error %5</source>
        <translation>边缘像素（0 &lt; alpha &lt; 255，占全部的 %1 %）：叠在白色上 %2，平均误差 %3；叠在黑色上 %4，平均误差 %5</translation>
    </message>
</context>
<context>
    <name>QueueSummary</name>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>Queue finished: %1 converted, %2 failed</source>
        <translation>队列已完成：合成 %1 个，失败 %2 个</translation>
    </message>
    <message>
        <source>%1, %2 cancelled</source>
        <translation>%1，取消 %2 个</translation>
    </message>
</context>
<context>
    <name>RateChoice</name>
    <message numerus="yes">
        <source>size budget %1 bytes: %2 bytes (%3 % under) at CRF %4, after %n trial encode(s)</source>
        <translation>
            <numerusform>大小预算 %1 字节：%2 字节（低于预算 %3 %），CRF %4，经过 %n 次试编码</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>quality target %1 dB: mask %2 dB, colour %3 dB at CRF %4, %5 bytes, after %n trial encode(s)</source>
        <translation>
            <numerusform>质量目标 %1 dB：遮罩 %2 dB，颜色 %3 dB，CRF %4，%5 字节，经过 %n 次试编码</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RunFolder</name>
    <message>
        <source>cannot create a scratch folder in %1: %2</source>
        <translation>无法在 %1 中创建临时文件夹：%2</translation>
    </message>
    <message>
        <source>cannot name the scratch folder %1: %2</source>
        <translation>无法为临时文件夹 %1 命名：%2</translation>
    </message>
</context>
<context>
    <name>ScratchFolders</name>
    <message>
        <source>cannot create %1: %2</source>
        <translation>无法创建 %1：%2</translation>
    </message>
    <message>
        <source>cannot examine %1: %2</source>
        <translation>无法检查 %1：%2</translation>
    </message>
    <message>
        <source>%1 is a symbolic link</source>
        <translation>%1 是符号链接</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 不是文件夹</translation>
    </message>
    <message>
        <source>%1 belongs to another user</source>
        <translation>%1 属于其他用户</translation>
    </message>
    <message>
        <source>cannot make %1 private: %2</source>
        <translation>无法将 %1 设为私有：%2</translation>
    </message>
    <message>
        <source>%1 is not a scratch folder inside %2</source>
        <translation>%1 不是 %2 中的临时文件夹</translation>
    </message>
    <message>
        <source>%1 is not an empty folder after rebuilding it</source>
        <translation>%1 重建后不是空文件夹</translation>
    </message>
    <message>
        <source>scratch folder: %1</source>
        <translation>临时文件夹：%1</translation>
    </message>
    <message>
        <source>cannot remove %1</source>
        <translation>无法删除 %1</translation>
    </message>
</context>
<context>
    <name>SourceComparison</name>
    <message>
        <source>%1 ended after %2 frames</source>
        <translation>%1 在 %2 帧后结束</translation>
    </message>
    <message>
        <source>%1 does not match its frames&apos; size</source>
        <translation>%1 与其序列帧的尺寸不符</translation>
    </message>
    <message>
        <source>%1 holds no frame to decode</source>
        <translation>%1 中没有可解码的帧</translation>
    </message>
</context>
<context>
    <name>SourceFolderLock</name>
    <message>
        <source>another ZEV conversion of %1 is running; two at once would write the same video. Try again when it has finished</source>
        <translation>另一个 ZEV 合成正在处理 %1；两个同时进行会写入同一个视频。请等它结束后再试</translation>
    </message>
</context>
<context>
    <name>SourceFrameTiming</name>
    <message>
        <source>%1 and %2</source>
        <translation>%1 和 %2</translation>
    </message>
    <message>
        <source>the video does not record the animation&apos;s rate, and no rate from %1 to %2 fps makes %3 frames into %4 video frames: assumed %5 fps from the ratio of the counts</source>
        <translation>视频未记录动画的帧率，且 %1 到 %2 fps 之间没有哪个帧率能把 %3 帧变成 %4 个视频帧：按帧数之比假定为 %5 fps</translation>
    </message>
    <message>
        <source>the video does not record the animation&apos;s rate; %1 fps each turn %2 frames into %3 video frames: assumed %4 fps</source>
        <translation>视频未记录动画的帧率；%1 fps 都能把 %2 帧变成 %3 个视频帧：假定为 %4 fps</translation>
    </message>
</context>
<context>
    <name>ToolRunResult</name>
    <message>
        <source>was stopped</source>
        <translation>已被停止</translation>
    </message>
    <message>
        <source>could not be started (%1)</source>
        <translation>无法启动（%1）</translation>
    </message>
    <message>
        <source>was ended by signal %1 (%2)</source>
        <translation>被信号 %1（%2）终止</translation>
    </message>
    <message>
        <source>exited with status %1</source>
        <translation>以状态 %1 退出</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <comment>how a tool ended, its last error lines</comment>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>%1 could not write all of its output</source>
        <translation>%1 无法写出全部输出</translation>
    </message>
</context>
<context>
    <name>VapcDescription</name>
    <message>
        <source>the vapc description is not a JSON object: %1</source>
        <translation>vapc 描述不是 JSON 对象：%1</translation>
    </message>
    <message>
        <source>the vapc description has no &quot;info&quot;</source>
        <translation>vapc 描述中没有 &quot;info&quot;</translation>
    </message>
    <message>
        <source>the vapc description names no animation or video size</source>
        <translation>vapc 描述未给出动画或视频尺寸</translation>
    </message>
    <message>
        <source>the vapc description names no frame rate</source>
        <translation>vapc 描述未给出帧率</translation>
    </message>
    <message>
        <source>the vapc description&apos;s regions do not lie inside its %1×%2 video</source>
        <translation>vapc 描述中的区域超出了它的 %1×%2 视频</translation>
    </message>
</context>
<context>
    <name>VideoDescription</name>
    <message>
        <source>the description is not a JSON object: %1</source>
        <translation>描述文件不是 JSON 对象：%1</translation>
    </message>
    <message>
        <source>the description&apos;s format is not &quot;zev&quot;</source>
        <translation>描述文件的 format 不是 &quot;zev&quot;</translation>
    </message>
    <message>
        <source>the description&apos;s version %1 is not one this program reads (1 to %2)</source>
        <translation>本程序无法读取版本为 %1 的描述文件（可读 1 到 %2）</translation>
    </message>
    <message>
        <source>the description names an unknown layout</source>
        <translation>描述文件指定了未知的 layout</translation>
    </message>
    <message>
        <source>the description&apos;s regions do not lie inside its %1×%2 frame</source>
        <translation>描述文件中的区域超出了它的 %1×%2 画面</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>无法读取 %1：%2</translation>
    </message>
    <message>
        <source>the description&apos;s frame of %1×%2 is not the size of its colour region, %3×%4</source>
        <translation>描述文件中的画面尺寸 %1×%2 与其彩色区域的尺寸 %3×%4 不同</translation>
    </message>
</context>
<context>
    <name>VideoEncoder</name>
    <message>
        <source>ffmpeg left no video at %1</source>
        <translation>ffmpeg 未在 %1 生成视频</translation>
    </message>
    <message>
        <source>no folder to encode from or file to encode into</source>
        <translation>没有用于编码的源文件夹或目标文件</translation>
    </message>
</context>
<context>
    <name>VideoExamination</name>
    <message>
        <source>%1 fps</source>
        <translation>%1 fps</translation>
    </message>
    <message>
        <source>%1 frames</source>
        <translation>%1 帧</translation>
    </message>
    <message>
        <source>colour %1</source>
        <translation>颜色 %1</translation>
    </message>
    <message>
        <source>%1, %2 Hz, %3 channels, %4 s</source>
        <translation>%1，%2 Hz，%3 声道，%4 秒</translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <source>unusable: %1</source>
        <translation>无法使用：%1</translation>
    </message>
    <message>
        <source>colour %1, mask %2 in %3</source>
        <translation>彩色 %1，遮罩 %2（画面 %3）</translation>
    </message>
    <message>
        <source>plays</source>
        <translation>可以播放</translation>
    </message>
    <message>
        <source>may play</source>
        <translation>可能可以播放</translation>
    </message>
    <message>
        <source>does not play</source>
        <translation>无法播放</translation>
    </message>
    <message>
        <source>does not show (the alpha is only fully opaque or fully clear)</source>
        <translation>看不出（alpha 只有完全不透明和完全透明两种）</translation>
    </message>
    <message>
        <source>unknown (not written, and the pixels do not tell)</source>
        <translation>未知（未写明，从像素也无法判断）</translation>
    </message>
    <message>
        <source>premultiplied</source>
        <translation>预乘</translation>
    </message>
    <message>
        <source>straight</source>
        <translation>直通</translation>
    </message>
    <message>
        <source>%1 (told from the pixels)</source>
        <translation>%1（由像素判断）</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1（%2）</translation>
    </message>
    <message>
        <source>  container: %1, %2
</source>
        <translation>  容器：%1，%2
</translation>
    </message>
    <message>
        <source>no index</source>
        <translation>无索引</translation>
    </message>
    <message>
        <source>index before the frames</source>
        <translation>索引在帧数据之前</translation>
    </message>
    <message>
        <source>index after the frames</source>
        <translation>索引在帧数据之后</translation>
    </message>
    <message>
        <source>  video: %1
</source>
        <translation>  视频：%1
</translation>
    </message>
    <message>
        <source>  sound: %1
</source>
        <translation>  音频：%1
</translation>
    </message>
    <message>
        <source>  tags: %1
</source>
        <translation>  标签：%1
</translation>
    </message>
    <message>
        <source>  descriptions:
</source>
        <translation>  描述：
</translation>
    </message>
    <message>
        <source>    none (no zev.json, vapc box, marked metadata or vapc.json)
</source>
        <translation>    无（没有 zev.json、vapc box、带标记的元数据或 vapc.json）
</translation>
    </message>
    <message>
        <source>  they agree with each other and the video
</source>
        <translation>  它们彼此一致，也与视频一致
</translation>
    </message>
    <message>
        <source>  disagreements: %1
</source>
        <translation>  不一致之处：%1
</translation>
    </message>
    <message>
        <source>  regions: colour %1, mask %2 (%3)
</source>
        <translation>  区域：彩色 %1，遮罩 %2（%3）
</translation>
    </message>
    <message>
        <source>the default halves: no description</source>
        <translation>默认的左右对半：无描述</translation>
    </message>
    <message>
        <source>from %1</source>
        <translation>来自 %1</translation>
    </message>
    <message>
        <source>  colour mode: %1
</source>
        <translation>  颜色模式：%1
</translation>
    </message>
    <message>
        <source>  targets:
</source>
        <translation>  目标：
</translation>
    </message>
</context>
<context>
    <name>VideoExaminer</name>
    <message>
        <source>a vapc box, but not right after ftyp</source>
        <translation>有 vapc box，但不紧跟在 ftyp 之后</translation>
    </message>
    <message>
        <source>it describes a %1×%2 video; the video is %3×%4</source>
        <translation>它描述的是 %1×%2 的视频，而视频为 %3×%4</translation>
    </message>
    <message>
        <source>%1 counts %2 frames; the video has %3</source>
        <translation>%1 记录了 %2 帧，而视频有 %3 帧</translation>
    </message>
    <message>
        <source>%1 and %2 place the regions differently</source>
        <translation>%1 和 %2 中的区域位置不同</translation>
    </message>
</context>
<context>
    <name>VideoProbe</name>
    <message>
        <source>there is no video file at %1</source>
        <translation>%1 处没有视频文件</translation>
    </message>
    <message>
        <source>ffprobe did not finish reading %1 within %2 s</source>
        <translation>ffprobe 未能在 %2 秒内读完 %1</translation>
    </message>
    <message>
        <source>ffprobe cannot read %1: %2</source>
        <translation>ffprobe 无法读取 %1：%2</translation>
    </message>
    <message>
        <source>it exited with status %1</source>
        <translation>进程以状态 %1 退出</translation>
    </message>
    <message>
        <source>%1 holds no stream</source>
        <translation>%1 中没有任何流</translation>
    </message>
</context>
<context>
    <name>VideoRetargeter</name>
    <message>
        <source>cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>cannot rename %1 to %2</source>
        <translation>无法将 %1 重命名为 %2</translation>
    </message>
    <message>
        <source>the copy of %1 is not the same video</source>
        <translation>%1 的副本与原视频不一致</translation>
    </message>
    <message>
        <source>cannot create the folder %1</source>
        <translation>无法创建文件夹 %1</translation>
    </message>
    <message>
        <source>cannot remove %1</source>
        <translation>无法删除 %1</translation>
    </message>
    <message>
        <source>no video was made in %1</source>
        <translation>%1 中没有生成视频</translation>
    </message>
    <message>
        <source>cannot rename %1 to %2: %3</source>
        <translation>无法将 %1 重命名为 %2：%3</translation>
    </message>
    <message>
        <source>%1 would replace %2 itself: choose another output folder</source>
        <translation>%1 会替换 %2 本身：请选择其他输出文件夹</translation>
    </message>
    <message>
        <source>cannot make a working folder in %1: %2</source>
        <translation>无法在 %1 中创建工作文件夹：%2</translation>
    </message>
</context>
<context>
    <name>VideoRewriter</name>
    <message>
        <source>ffmpeg left no rewritten video at %1</source>
        <translation>ffmpeg 未在 %1 生成重写后的视频</translation>
    </message>
</context>
<context>
    <name>VideoUnpacker</name>
    <message>
        <source>cannot create the folder %1</source>
        <translation>无法创建文件夹 %1</translation>
    </message>
    <message>
        <source>cannot create a folder for the frames in %1: %2</source>
        <translation>无法在 %1 中创建存放帧的文件夹：%2</translation>
    </message>
    <message>
        <source>%1 already holds numbered frames (%2, %3 in all), which the video&apos;s frames would replace; give --force to replace them</source>
        <translation>%1 中已有编号帧（%2，共 %3 个），会被视频的帧替换；如要替换，请加上 --force</translation>
    </message>
    <message>
        <source>cannot move the frame %1 into place (%2 of %3 frames were): %4</source>
        <translation>无法将帧 %1 移到目标位置（%3 帧中已移动 %2 帧）：%4</translation>
    </message>
</context>
<context>
    <name>VideoVerifier</name>
    <message>
        <source>1 frame</source>
        <translation>1 帧</translation>
    </message>
    <message>
        <source>%1 frames</source>
        <translation>%1 帧</translation>
    </message>
    <message>
        <source>the video&apos;s size is unknown, expected %1</source>
        <translation>视频尺寸未知，应为 %1</translation>
    </message>
    <message>
        <source>the video is %1×%2, expected %3</source>
        <translation>视频尺寸为 %1×%2，应为 %3</translation>
    </message>
    <message>
        <source>the video&apos;s frame count is unknown, expected %1</source>
        <translation>视频帧数未知，应为 %1</translation>
    </message>
    <message>
        <source>the video has %1, expected %2</source>
        <translation>视频有 %1，应为 %2</translation>
    </message>
    <message>
        <source>the video&apos;s colour description (range/matrix/primaries/transfer) is %1, expected %2</source>
        <translation>视频的颜色描述（range/matrix/primaries/transfer）为 %1，应为 %2</translation>
    </message>
    <message>
        <source>the index of %1 comes after its frames</source>
        <translation>%1 的索引位于帧数据之后</translation>
    </message>
    <message>
        <source>expected one video stream and one sound stream</source>
        <translation>应有一个视频流和一个音频流</translation>
    </message>
    <message>
        <source>expected one video stream</source>
        <translation>应只有一个视频流</translation>
    </message>
    <message>
        <source>the video has no streams, %1</source>
        <translation>视频中没有任何流，%1</translation>
    </message>
    <message>
        <source>the video&apos;s only stream is %1, %2</source>
        <translation>视频唯一的流是 %1，%2</translation>
    </message>
    <message>
        <source>the video has %1 streams (%2), %3</source>
        <translation>视频有 %1 个流（%2），%3</translation>
    </message>
    <message>
        <source>the video&apos;s container is %1, expected %2</source>
        <translation>视频的容器为 %1，应为 %2</translation>
    </message>
    <message>
        <source>the sound&apos;s codec is %1, expected %2</source>
        <translation>音频编码为 %1，应为 %2</translation>
    </message>
    <message>
        <source>the sound lasts %1 s, expected %2 s, the animation&apos;s length</source>
        <translation>音频时长为 %1 秒，应为动画的长度 %2 秒</translation>
    </message>
    <message>
        <source>the video&apos;s codec is %1, expected %2</source>
        <translation>视频编码为 %1，应为 %2</translation>
    </message>
    <message>
        <source>the video&apos;s sample entry is %1, expected %2</source>
        <translation>视频的 sample entry 为 %1，应为 %2</translation>
    </message>
    <message>
        <source>the video&apos;s pixel format is %1, expected %2</source>
        <translation>视频像素格式为 %1，应为 %2</translation>
    </message>
</context>
<context>
    <name>ViewController</name>
    <message>
        <source>Express: FFmpeg makes the video straight from the frames, with no intermediate images</source>
        <translation>快速合成：直接由 FFmpeg 完成，不生成中间图片</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Turns a folder of transparent PNG frames into a ZEV video.</source>
        <translation>把一个透明 PNG 序列帧文件夹合成为 ZEV 视频。</translation>
    </message>
    <message>
        <source>Plays a ZEV video in the preview window, mask and colour put together again over a checkerboard.</source>
        <translation>在预览窗口中播放 ZEV 视频：遮罩与彩色画面重新合在一起，显示在棋盘格上。</translation>
    </message>
    <message>
        <source>The frame folder to show at start-up; several folders are queued and converted one after another.</source>
        <translation>启动时显示的序列帧文件夹；指定多个文件夹时会排入队列，逐个合成。</translation>
    </message>
</context>
<context>
    <name>zev::ConversionQueue</name>
    <message>
        <source>the conversion did not start</source>
        <translation>合成未能开始</translation>
    </message>
    <message>
        <source>the conversion ended without a message</source>
        <translation>合成已结束，但没有给出结果消息</translation>
    </message>
    <message>
        <source>Waiting</source>
        <translation>等待中</translation>
    </message>
    <message>
        <source>Converting…</source>
        <translation>正在合成…</translation>
    </message>
    <message>
        <source>Converting: %1, %2%</source>
        <translation>正在合成：%1，%2%</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>失败：%1</translation>
    </message>
    <message>
        <source>Failed: %1 %2</source>
        <translation>失败：%1 %2</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>已取消</translation>
    </message>
    <message>
        <source>Log: %1</source>
        <translation>日志：%1</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>输出</translation>
    </message>
</context>
<context>
    <name>zev::OutputOptionsDialog</name>
    <message>
        <source>Mask on the left (default)</source>
        <translation>遮罩在左（默认）</translation>
    </message>
    <message>
        <source>Mask on the right</source>
        <translation>遮罩在右</translation>
    </message>
    <message>
        <source>Mask on top</source>
        <translation>遮罩在上</translation>
    </message>
    <message>
        <source>Mask below</source>
        <translation>遮罩在下</translation>
    </message>
    <message>
        <source>Full (default)</source>
        <translation>完整（默认）</translation>
    </message>
    <message>
        <source>Half width and height</source>
        <translation>一半宽高</translation>
    </message>
    <message>
        <source>Premultiplied: laid onto black (default)</source>
        <translation>预乘：叠在黑底上（默认）</translation>
    </message>
    <message>
        <source>Straight: not premultiplied</source>
        <translation>直通：未预乘</translation>
    </message>
    <message>
        <source>Do not scale down</source>
        <translation>不缩小</translation>
    </message>
    <message>
        <source> pixels</source>
        <translation> 像素</translation>
    </message>
    <message>
        <source>Encode for quality (CRF) instead of a bitrate</source>
        <translation>按质量（CRF）编码，不用码率</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>默认</translation>
    </message>
    <message>
        <source>Write zev.json for the default layout too</source>
        <translation>默认布局也写出 zev.json</translation>
    </message>
    <message>
        <source>Layout:</source>
        <translation>布局：</translation>
    </message>
    <message>
        <source>Mask size:</source>
        <translation>遮罩大小：</translation>
    </message>
    <message>
        <source>Colour:</source>
        <translation>颜色：</translation>
    </message>
    <message>
        <source>Longest side:</source>
        <translation>最大边长：</translation>
    </message>
    <message>
        <source>Quality:</source>
        <translation>质量：</translation>
    </message>
    <message>
        <source>Gap between the regions:</source>
        <translation>区域间隔：</translation>
    </message>
    <message>
        <source>H.264 in MP4 (default, plays everywhere)</source>
        <translation>H.264（MP4；默认，随处可播放）</translation>
    </message>
    <message>
        <source>H.265 in MP4 (smaller; Safari and Apple devices, few other browsers)</source>
        <translation>H.265（MP4；体积更小；Safari 和 Apple 设备，少数其他浏览器）</translation>
    </message>
    <message>
        <source>AV1 in MP4 (smallest; recent browsers and phones)</source>
        <translation>AV1（MP4；体积最小；较新的浏览器和手机）</translation>
    </message>
    <message>
        <source>AV1 in WebM</source>
        <translation>AV1（WebM）</translation>
    </message>
    <message>
        <source>VP9 in WebM (browsers, visual-novel engines)</source>
        <translation>VP9（WebM；浏览器、视觉小说引擎）</translation>
    </message>
    <message>
        <source>The CRF is on each codec&apos;s own scale: up to 51 for H.264 and H.265, up to 63 for AV1 and VP9.</source>
        <translation>CRF 按各编码格式自己的刻度计算：H.264 和 H.265 最高 51，AV1 和 VP9 最高 63。</translation>
    </message>
    <message>
        <source>Codec:</source>
        <translation>编码格式：</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Its first sound stream becomes the video&apos;s sound track (AAC in MP4, Opus in WebM), cut or padded with silence to the animation&apos;s length.</source>
        <translation>其第一条音频流将成为视频的音轨（MP4 中为 AAC，WebM 中为 Opus），按动画长度截断或以静音补齐。</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>选择…</translation>
    </message>
    <message>
        <source>Sound:</source>
        <translation>音频：</translation>
    </message>
    <message>
        <source>Choose the sound file</source>
        <translation>选择音频文件</translation>
    </message>
    <message>
        <source>Sound files (*.wav *.mp3 *.m4a *.aac *.ogg *.opus *.flac *.mp4 *.mov *.webm);;All files (*)</source>
        <translation>音频文件 (*.wav *.mp3 *.m4a *.aac *.ogg *.opus *.flac *.mp4 *.mov *.webm);;所有文件 (*)</translation>
    </message>
    <message>
        <source>None chosen</source>
        <translation>未选择</translation>
    </message>
    <message>
        <source>No longer fits this player: %1.</source>
        <translation>已不再适合此播放器：%1。</translation>
    </message>
    <message>
        <source>Best quality whose file fits in</source>
        <translation>文件大小不超过以下值时的最高质量</translation>
    </message>
    <message>
        <source> kB (1024 bytes)</source>
        <translation> kB（1024 字节）</translation>
    </message>
    <message>
        <source>Smallest file whose mask and colour PSNR reach</source>
        <translation>遮罩和颜色 PSNR 都达到以下值的最小文件</translation>
    </message>
    <message>
        <source> dB</source>
        <translation> dB</translation>
    </message>
    <message>
        <source>Size budget:</source>
        <translation>大小预算：</translation>
    </message>
    <message>
        <source>Quality target:</source>
        <translation>质量目标：</translation>
    </message>
</context>
<context>
    <name>zev::PreviewController</name>
    <message>
        <source>mask on the left</source>
        <translation>遮罩在左</translation>
    </message>
    <message>
        <source>mask on the right</source>
        <translation>遮罩在右</translation>
    </message>
    <message>
        <source>mask on top</source>
        <translation>遮罩在上</translation>
    </message>
    <message>
        <source>mask below</source>
        <translation>遮罩在下</translation>
    </message>
    <message>
        <source>%1 frames/s</source>
        <translation>%1 帧/秒</translation>
    </message>
    <message>
        <source>ZEV preview</source>
        <translation>ZEV 预览</translation>
    </message>
    <message>
        <source>Cannot play this video.</source>
        <translation>无法播放这个视频.</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>播放</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message>
        <source>Opening the video…</source>
        <translation>正在打开视频…</translation>
    </message>
    <message>
        <source>Next frame</source>
        <translation>下一帧</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>循环</translation>
    </message>
    <message>
        <source>Checkerboard</source>
        <translation>棋盘格</translation>
    </message>
    <message>
        <source>Black</source>
        <translation>黑色</translation>
    </message>
    <message>
        <source>White</source>
        <translation>白色</translation>
    </message>
    <message>
        <source>Other colour…</source>
        <translation>自选颜色…</translation>
    </message>
    <message>
        <source>Fit to window</source>
        <translation>适合窗口</translation>
    </message>
    <message>
        <source>Decoded</source>
        <translation>解码画面</translation>
    </message>
    <message>
        <source>Source frame</source>
        <translation>源帧</translation>
    </message>
    <message>
        <source>Difference</source>
        <translation>差异</translation>
    </message>
    <message>
        <source>Backdrop</source>
        <translation>背景</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>缩放</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>对比</translation>
    </message>
    <message>
        <source>ffprobe did not run</source>
        <translation>ffprobe 未能运行</translation>
    </message>
    <message>
        <source>Source frame %1: mask PSNR %2, colour PSNR %3</source>
        <translation>源帧 %1：遮罩 PSNR %2，颜色 PSNR %3</translation>
    </message>
    <message>
        <source>Cannot read the source frame: %1</source>
        <translation>无法读取源帧：%1</translation>
    </message>
    <message>
        <source>Source frame %1 is not the size of the video&apos;s frames</source>
        <translation>源帧 %1 与视频尺寸不同</translation>
    </message>
    <message>
        <source>Backdrop colour</source>
        <translation>背景颜色</translation>
    </message>
    <message>
        <source>Video size</source>
        <translation>尺寸</translation>
    </message>
    <message>
        <source>Frame size</source>
        <translation>画面</translation>
    </message>
    <message>
        <source>Frames</source>
        <translation>帧数</translation>
    </message>
    <message>
        <source>Frame rate</source>
        <translation>帧率</translation>
    </message>
    <message>
        <source>Bitrate</source>
        <translation>码率</translation>
    </message>
    <message>
        <source>H.264 level</source>
        <translation>H.264 级别</translation>
    </message>
    <message>
        <source>Layout</source>
        <translation>布局</translation>
    </message>
    <message>
        <source>Mask</source>
        <translation>遮罩</translation>
    </message>
    <message>
        <source>Half size</source>
        <translation>半尺寸</translation>
    </message>
    <message>
        <source>Full size</source>
        <translation>全尺寸</translation>
    </message>
    <message>
        <source>Colour</source>
        <translation>颜色</translation>
    </message>
    <message>
        <source>Premultiplied (laid onto black)</source>
        <translation>预乘（铺在黑色上）</translation>
    </message>
    <message>
        <source>Straight (not premultiplied)</source>
        <translation>直通（未预乘）</translation>
    </message>
    <message>
        <source>Description file</source>
        <translation>描述文件</translation>
    </message>
    <message>
        <source>None (the default halves, side by side)</source>
        <translation>无（默认左右各半）</translation>
    </message>
    <message>
        <source>When the video is a frame folder&apos;s output/zev.mp4 or zev.webm, it can be compared with the source frames</source>
        <translation>视频是序列帧文件夹的 output/zev.mp4 或 zev.webm 时，可与源帧对比</translation>
    </message>
    <message>
        <source>Animation&apos;s rate</source>
        <translation>动画帧率</translation>
    </message>
    <message>
        <source>Edges over white</source>
        <translation>边缘（叠在白色上）</translation>
    </message>
    <message>
        <source>No edge pixels (0 &lt; alpha &lt; 255)</source>
        <translation>没有边缘像素（0 &lt; alpha &lt; 255）</translation>
    </message>
    <message>
        <source>Edges over white %1 (mean error %2), over black %3 (mean error %4)</source>
        <translation>边缘叠在白色上 %1（平均误差 %2），叠在黑色上 %3（平均误差 %4）</translation>
    </message>
</context>
<context>
    <name>zev::ViewController</name>
    <message>
        <source>A ZEV video is being made; quitting now cancels it.</source>
        <translation>ZEV 视频正在合成，现在退出将取消合成。</translation>
    </message>
    <message>
        <source>Cancel and quit</source>
        <translation>取消合成并退出</translation>
    </message>
    <message>
        <source>Keep going, quit when done</source>
        <translation>继续合成，完成后退出</translation>
    </message>
    <message>
        <source>Choose the frame folder</source>
        <translation>选择序列帧文件夹</translation>
    </message>
    <message>
        <source>Choose frame folders…</source>
        <translation>选择序列帧文件夹…</translation>
    </message>
    <message>
        <source>Choose videos or animated images…</source>
        <translation>选择视频或动图…</translation>
    </message>
    <message>
        <source>Choose a video or animated image</source>
        <translation>选择视频或动图</translation>
    </message>
    <message>
        <source>Videos and animated images (%1)</source>
        <translation>视频和动图 (%1)</translation>
    </message>
    <message>
        <source>Bitrate: %1 kbit/s</source>
        <translation>码率：%1 kbit/s</translation>
    </message>
    <message>
        <source>Chosen by trial encodes: %1</source>
        <translation>由试编码选定：%1</translation>
    </message>
</context>
<context>
    <name>zev::ZEVProgressView</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>zev::ZEVQueueView</name>
    <message>
        <source>Queue</source>
        <translation>队列</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>移除</translation>
    </message>
    <message>
        <source>Clear finished</source>
        <translation>清除已完成</translation>
    </message>
    <message>
        <source>Stops the selected line, or every converting line when none is selected</source>
        <translation>停止所选项；未选择时停止所有正在合成的项</translation>
    </message>
    <message>
        <source>Takes the selected line out of the queue (Delete)</source>
        <translation>将所选项移出队列（Delete）</translation>
    </message>
</context>
</TS>
