// Chinese sentences for the reader's error codes.
#include "core/ReadErrorText.h"

#include <cstdio>

namespace pw {

std::string ReadErrorText(const CReadReport& report, const std::string& fileName) {
    if (report.m_bOk) return {};
    char text[512];
    const char* f = fileName.c_str();
    const long long byte = report.m_nByte;
    switch (report.m_nError) {
    case ReadError::kCannotOpen:
        std::snprintf(text, sizeof text, "无法打开文件%s！", f);
        break;
    case ReadError::kEmpty:
        std::snprintf(text, sizeof text, "文件%s是空文件，不是数据文件！", f);
        break;
    case ReadError::kTooShort:
        std::snprintf(text, sizeof text, "文件%s只有%lld字节，不是数据文件！", f, byte);
        break;
    case ReadError::kBadMagic:
        std::snprintf(text, sizeof text, "文件%s不是数据文件（文件标志不对）！", f);
        break;
    case ReadError::kTruncatedHeader:
        std::snprintf(text, sizeof text, "文件%s在文件头处截断（第%lld字节），没有读入任何桩。", f, byte);
        break;
    case ReadError::kNegativeCount:
        std::snprintf(text, sizeof text, "文件%s的桩数为负数，没有读入任何桩。", f);
        break;
    case ReadError::kTruncatedRecord:
        std::snprintf(text, sizeof text, "文件%s在第%d个记录处截断（第%lld字节），已读入前%d根桩。", f,
                      report.m_nRecord, byte, report.m_nRecord - 1);
        break;
    case ReadError::kTooManyToMerge:
        std::snprintf(text, sizeof text, "两个文件共有%d根桩，一个工程最多%d根桩。", report.m_nRecord,
                      kMaxPiles);
        break;
    case ReadError::kNone:
    case ReadError::kOther:
        std::snprintf(text, sizeof text, "文件%s读取失败！", f);
        break;
    }
    return text;
}

} // namespace pw
