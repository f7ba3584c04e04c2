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

} // namespace pw::vtext
