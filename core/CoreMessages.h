// Every message text the core layer returns, side by side for review. The shell shows them as they
// stand: trailing blanks and full-width punctuation are part of the text.
#pragma once

namespace pw::msg {

inline constexpr const char* kError = "错误.";
inline constexpr const char* kNoEnoughSpace = "No enough space!";
inline constexpr const char* kMergeFailed = "合并文件失败！";
inline constexpr const char* kFileOpenFailed = "文件打开失败!";
inline constexpr const char* kSelectSeveral = "请选择多个记录！";
inline constexpr const char* kSameNameOnly = "请选择相同名字的桩";
inline constexpr const char* kNothingChecked = "您没有选择要保存的桩!";

} // namespace pw::msg
