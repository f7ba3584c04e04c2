// Texts the waveform view writes on the plots and in the status bar, in one table for review.
#pragma once

namespace pw::vtext {

inline constexpr const char* kLength = "桩长=";
inline constexpr const char* kSpeed = "波速=";
inline constexpr const char* kGain = "放大系数=";
inline constexpr const char* kPasses = "滤波次数=";
inline constexpr const char* kHighPass = "高通滤波=";
inline constexpr const char* kLowPass = "低通滤波=";
inline constexpr const char* kPreZero = "前置零=";
inline constexpr const char* kPostCut = "后截除=";
inline constexpr const char* kShiftY = "波形平移=";
inline constexpr const char* kRotate = "波形旋转=";
inline constexpr const char* kHeadMark = "T1";
inline constexpr const char* kToeMark = "T2";

// Status-bar readouts of the cursor (panes 1..5).
inline constexpr const char* kTime = "声时: ";
inline constexpr const char* kAmplitude = "幅度: ";
inline constexpr const char* kDepth = "深度: ";
inline constexpr const char* kWaveSpeed = "波速: ";
inline constexpr const char* kPoints = "数据点数: ";
inline constexpr const char* kFrequency = "频率: ";
// Beside the spectrum marks: their mean spacing and the pile length it implies, c / (2 spacing).
inline constexpr const char* kMarkSpacing = "峰间距: %.1fHz";
inline constexpr const char* kSpacingLength = "  L=c/2Δf: %.1fm";

// Hints in pane 0.
inline constexpr const char* kHintGrabMarker = "按鼠标左键后可移动当前光标位置";
inline constexpr const char* kHintSetMarker = "按鼠标右键在当前位置设置桩头、桩底或缺陷";
inline constexpr const char* kHintMoveKeys = "按左右键可以移动光标；按回车键确认移动；按ESC键取消移动。";
inline constexpr const char* kHintAddMark = "按右键在当前位置设置标记。";
inline constexpr const char* kHintDeleteMark = "按右键删除当前标记。";
// Our own: commands at the cursor that found nothing to act on, and the head and toe commands
// without a cursor on the trace.
inline constexpr const char* kNoCursorForHead = "波形上没有光标，未设置桩头：请先把鼠标移到波形上要设置桩头的位置。";
inline constexpr const char* kNoDefectAtCursor = "光标不在缺陷上，未删除缺陷：请先把鼠标移到要删除的缺陷线上。";
inline constexpr const char* kDefectsFull = "这根桩已有10个缺陷，不能再添加。";
inline constexpr const char* kNoCursorForToe = "波形上没有光标，未设置桩底：请先把鼠标移到波形上要设置桩底的位置。";
inline constexpr const char* kNoCursorForDefect = "波形上没有光标，未添加缺陷：请先把鼠标移到波形上缺陷所在的位置。";

// The spectrum plot's labels.
inline constexpr const char* kSpectrumAmplitude = "幅度";
inline constexpr const char* kSpectrumFrequency = "频率Hz";
inline constexpr const char* kSpectrumTitle = "频谱分析结果";
inline constexpr const char* kAmplitudeSpectrum = "幅值谱";
inline constexpr const char* kPowerSpectrum = "功率谱";
inline constexpr const char* kSpectrumRange = "频率范围: 0~%1Hz"; // the range analysed

// Why a printed PDF or a picture file was not written (the system's reason comes from core).
inline constexpr const char* kPdfNotDrawn = "PDF页面没能画出。";
inline constexpr const char* kPictureNotDrawn = "波形图没能画出。";
inline constexpr const char* kFileNotWritten = "文件没能写完。";

} // namespace pw::vtext
