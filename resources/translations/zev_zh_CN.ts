<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>PipelineRun</name>
    <message>
        <source>the frame folder %1 is not an absolute path</source>
        <translation>帧文件夹 %1 不是绝对路径</translation>
    </message>
</context>
</TS>
