// Every message text the core layer returns, side by side for review. The shell shows them as they
// stand: trailing blanks and full-width punctuation are part of the text.
#pragma once

namespace pw::msg {

inline constexpr const char* kError = "错误.";
// A field's limits (printf formats): the number of characters, the range of a whole number.
inline constexpr const char* kTooManyChars = "“请填入不多于%d个的字符。”";
inline constexpr const char* kIntOutOfRange = "“请填入一个在%d和%d之间的整数。”";
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
// Our own: a head left of the first sample or right of the last has no trace under it.
inline constexpr const char* kHeadOutsideTrace = "桩头不能设在波形的采样点之外";
inline constexpr const char* kSaveBeforeMerge = "参数已修改，是否要保存？";
inline constexpr const char* kUntitled = "无标题";
inline constexpr const char* kMergedTitle = "New_Data";

inline constexpr const char* kReadSettingsFailed = "读设置文件失败！";
inline constexpr const char* kWriteSettingsFailed = "写设置文件失败！";
inline constexpr const char* kDataIncomplete = "数据不完整";

// The data checks before a report (DataChecks.cpp): one sentence per finding, then the site lines.
// Figures carry as many decimals as it takes for the two compared values to read differently.
inline constexpr const char* kCheckRecordShort = "记录长度%.*fms，不足2L/c+5ms＝%.*fms";
inline constexpr const char* kCheckSpectrumLimit = "采样间隔%gμs大于125μs，频谱上限%.0fHz低于2000Hz";
inline constexpr const char* kCheckLowPass = "低通滤波%gkHz，低于2kHz，曲线中更高频率的成分已滤除";
inline constexpr const char* kCheckClipped = "信号削波失真：连续%d个采样点停在极值%g上";
inline constexpr const char* kCheckDrift = "信号零漂：记录末端偏离起始电平达首波幅值的%.0f%%（限值%.0f%%）";
inline constexpr const char* kCheckToeUndefined = "桩底未确定（桩长%.1fm、波速%dm/s），记录长度无法核对";
inline constexpr const char* kCheckBadInterval = "采样间隔%gμs无效，记录长度和频率范围无法核对";
inline constexpr const char* kCheckFewSignals = "有效信号%d个（共%d个记录），少于3个";
inline constexpr const char* kCheckFewPiles = "受检桩%d根，少于应检的%d根（总桩数%d根的20%%且不少于10根）";
inline constexpr const char* kCheckSitePiles = "受检桩%d根，记录%d个；有效信号不少于3个的桩%d根。";
inline constexpr const char* kCheckSiteEnough = "场地总桩数%d根，应检不少于%d根，已检%d根，抽检数量满足要求。";
inline constexpr const char* kCheckSiteTotalUnknown = "场地总桩数未知，抽检数量未核对。";
inline constexpr const char* kCheckSiteOverTotal = "受检桩%d根多于场地总桩数%d根，请核对总桩数。";
inline constexpr const char* kCheckSiteClasses = "Ⅰ类%d根，Ⅱ类%d根，Ⅲ类%d根，Ⅳ类%d根";
inline constexpr const char* kCheckSiteUndecided = "，Ⅱ/Ⅲ类（尚未判定）%d根";
inline constexpr const char* kCheckBasis = "依据JGJ 106-2014低应变法；削波和零漂的限值为本程序自定。";
inline constexpr const char* kCheckUnnamedPile = "（无桩号）";
// The report's data-quality paragraph: an opening, one clause per kind of finding, the names.
inline constexpr const char* kQualityOpening = "数据检查：";
inline constexpr const char* kQualityMoreNames = "等%d根";
inline constexpr const char* kQualityRecordShort = "%s的记录长度不足2L/c+5ms";
inline constexpr const char* kQualitySpectrumLimit = "%s的采样间隔大于125μs，频谱上限低于2000Hz";
inline constexpr const char* kQualityClipped = "%s的信号有削波失真";
inline constexpr const char* kQualityDrift = "%s的信号有零漂";
inline constexpr const char* kQualityToeUndefined = "%s的桩底未确定";
inline constexpr const char* kQualityBadInterval = "%s的采样间隔无效";
inline constexpr const char* kQualityFewSignals = "%s的有效信号少于3个";

// The value checks of the editing dialogs, which the command line applies as well.
inline constexpr const char* kGainRange = "放大系数应在1.0到1000.0之间 ";
inline constexpr const char* kGainDelayRange = "放大延迟应在0到%.2f之间";
inline constexpr const char* kLowPassRange = "低通滤波频率应在0.0到5.0kHz之间 ";
inline constexpr const char* kPassesRange = "低通滤波次数应在1到5之间 ";
inline constexpr const char* kHighPassRange = "高通滤波频率应在0.0到2000.0Hz之间 ";
inline constexpr const char* kLowBelowHigh = "低通滤波不能小于高通滤波!";
inline constexpr const char* kFooterMargin = "打印页脚边距必须小于下边距!";
inline constexpr const char* kHeaderMargin = "打印页眉边距必须小于上边距!";
inline constexpr const char* kSpectraRows = "如果打印图谱，则每页行数必须最小设置为2";
inline constexpr const char* kFooterOverlap = "页脚和页码重叠打印!";
// Our own, for values only the spins limit: printing divides the page by rows and columns.
inline constexpr const char* kColumnsRange = "每页列数应在1到3之间!";
inline constexpr const char* kRowsRange = "每页行数应在1到%d之间!";
inline constexpr const char* kCustomPaper = "自定义纸张的高和宽必须大于0!";
// Our own: a margin below 0 is named by its own field; a pile name cannot be cleared.
inline constexpr const char* kTopMarginNegative = "上边距不能小于0!";
inline constexpr const char* kBottomMarginNegative = "下边距不能小于0!";
inline constexpr const char* kLeftMarginNegative = "左边距不能小于0!";
inline constexpr const char* kRightMarginNegative = "右边距不能小于0!";
inline constexpr const char* kHeaderMarginNegative = "页眉边距不能小于0!";
inline constexpr const char* kFooterMarginNegative = "页脚边距不能小于0!";
inline constexpr const char* kPileNameCleared = "桩号不能清空!";
// Before a report is written: the list of warnings (%1, one per line); Yes writes, No goes back.
inline constexpr const char* kReportWarnings = "生成报告前请注意：\n%1\n\n是：仍然生成报告；否：返回修改报告信息。";
inline constexpr const char* kPileHasNoDate = "当前桩没有有效的检测日期，报告中的浇注日期和检测日期将留空。";
// A project read only in part is saved under another name, so the file it came from stays whole.
inline constexpr const char* kSavePartAs = "保存时请另选文件名，原文件不会被改动。";
inline constexpr const char* kPartSuffix = "_部分";

} // namespace pw::msg
