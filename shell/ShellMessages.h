// Texts the shell itself shows: captions, questions and parse messages. Trailing blanks and
// full-width punctuation are part of the texts.
#pragma once

namespace pw::msg {

inline constexpr const char* kFrameTitle = "反射波基桩动测仪数据处理软件";
inline constexpr const char* kAppTitle = "反射波法桩基完整性检测分析仪"; // message-box caption, settings name
inline constexpr const char* kSettingsKey = "Local AppWizard-Generated Applications";
inline constexpr const char* kFileFilter = "数据文件 (*.wvf)";
inline constexpr const char* kCheckedFilter = "测桩单件处理报告文件 (*.wvf)";
inline constexpr const char* kOpenFailed = "打开文档失败。";
inline constexpr const char* kSaveChanges = "将改动保存到 %1？";
inline constexpr const char* kConfirmDelete = "您确定删除这根桩吗?";
inline constexpr const char* kEnterNumber = "请键入一个数。";
inline constexpr const char* kEnterInteger = "请键入一个整数。";
inline constexpr const char* kEnterData = "请输入数据";
inline constexpr const char* kPreZeroPrompt = "请输入前置零点数";
inline constexpr const char* kPostCutPrompt = "请输入后截除点数";
inline constexpr const char* kSmoothPrompt = "请输入平滑点数";
inline constexpr const char* kRecentEmpty = "最近文件";
inline constexpr const char* kDeleteFileItem = "删除文件";
inline constexpr const char* kAboutTitle = "关于分析软件";
inline constexpr const char* kVersion = "版本号 V4.0";
inline constexpr const char* kMergeTitle = "wvf文件合并";

} // namespace pw::msg
