#pragma once
// The names of the controls that the installer logic reads, writes or is called by.
namespace ui {
inline constexpr const char* LogLabel = "标签_日志";
inline constexpr const char* InstallDirLabel = "标签_安装目录";
inline constexpr const char* ProgressBar = "进度条1";
inline constexpr const char* InstallButton = "图形按钮1";
inline constexpr const char* ZipComponent = "ZIP压缩1";
inline constexpr int ExtractProgressEvent = 1;
}  // namespace ui
