// The defect-type and pile-type tables: every view, dialog, report and the CLI take their texts here.
#pragma once

namespace pw {

inline constexpr int kDefectTypeCount = 8; // codes 0 ("无缺陷") .. 7
inline constexpr int kPileTypeCount = 8;   // codes 0 .. 7

// UTF-8 text of a defect code: 0 "无缺陷", 1 "扩径" .. 7 "扩底", any other code "未知缺陷".
const char* DefectTypeText(int code);

// UTF-8 text of a pile-type code: 0 "沉管灌注桩" .. 7 "钢桩", any other code "".
const char* PileTypeText(int code);

} // namespace pw
