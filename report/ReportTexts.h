// Texts the report writers return when a report or a table cannot be written, in one table for
// review. The shell shows them after its own "生成报告失败!" line; the CLI adds the English detail.
#pragma once

namespace pw::rtext {

inline constexpr const char* kTemplateMissing = "找不到报告模板，或模板不是Word文档。";
inline constexpr const char* kTemplateDamaged = "报告模板已损坏。";
inline constexpr const char* kPictureFailed = "桩%s的波形图没能画出。";
inline constexpr const char* kBuildFailed = "报告文档没能生成。";
// A write that failed without a reason from the system.
inline constexpr const char* kNotWritten = "文件没能写完。";

} // namespace pw::rtext
