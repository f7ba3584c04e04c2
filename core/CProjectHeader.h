// The project header stored at the start of every project file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/GbkText.h"

namespace pw {

struct CProjectHeader {
    int16_t m_nPileCount = 0;
    char m_szTestUnit[50] = {};    // 检测单位, GBK, at most 49 bytes
    char m_szProjectName[20] = {}; // 工程名称, GBK, at most 19 bytes

    std::string GetTestUnit() const { return FieldUtf8(m_szTestUnit); }
    std::string GetProjectName() const { return FieldUtf8(m_szProjectName); }
    void SetTestUnit(std::string_view utf8) { SetFieldUtf8(m_szTestUnit, utf8); }
    void SetProjectName(std::string_view utf8) { SetFieldUtf8(m_szProjectName, utf8); }
};

} // namespace pw
