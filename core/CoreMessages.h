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
// Our own texts, in the style of the ones above.
inline constexpr const char* kSaveFailed = "保存文件失败，原文件未改动！";
inline constexpr const char* kNotReplaceable = "该文件不是数据文件，不能覆盖！请另选文件名。";

inline constexpr const char* kLengthRange = "桩长应在0.5到200.0米之间 ";
inline constexpr const char* kSpeedRange = "波速应在100到10000m/s之间 ";
inline constexpr const char* kPreZeroBeforeHead = "前置零位置应在桩头之前！ ";
inline constexpr const char* kPostCutAfterToe = "后截除位置应在桩底之后!";
inline constexpr const char* kSmoothRange = "平滑点数应该在1--32之间!";
// The head follows the filters' delay; a change that would push it off the trace is refused whole.
inline constexpr const char* kHeadLeavesTrace = "滤波延迟会使桩头移出波形范围，参数未应用！";
inline constexpr const char* kAverageHeadLeavesTrace = "滤波延迟会使平均波形的桩头移出波形范围，未作平均！";
// The same refusals at the view's cursor carry texts of their own: no trailing blank here, and a
// full-width exclamation mark after the toe.
inline constexpr const char* kPreZeroCursorBeforeHead = "前置零位置应在桩头之前！";
inline constexpr const char* kPostCutCursorAfterToe = "后截除位置应在桩底之后！";
inline constexpr const char* kDefectBetweenHeadAndToe = "设置缺陷应该在桩头与桩底之间!";
inline constexpr const char* kHeadAfterToe = "桩头不能在桩底之后";
inline constexpr const char* kToeBeforeHead = "桩底不能在桩头之前";
inline constexpr const char* kSaveBeforeMerge = "参数已修改，是否要保存？";
inline constexpr const char* kUntitled = "无标题";
inline constexpr const char* kMergedTitle = "New_Data";

inline constexpr const char* kReadSettingsFailed = "读设置文件失败！";
inline constexpr const char* kWriteSettingsFailed = "写设置文件失败！";
inline constexpr const char* kDataIncomplete = "数据不完整";

} // namespace pw::msg
