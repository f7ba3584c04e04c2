// Records and files made in code for the core tests.
#pragma once

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/CByteSource.h"
#include "core/ProjectFile.h"

namespace pw::test {

// A record with every stored field set from the seed. extreme = true uses the edges of each field:
// negative shorts, NaN and infinite aux floats, texts filling their fields (GBK double-byte text).
inline CPileRecord MakeRecord(unsigned seed, bool extreme = false) {
    std::mt19937 rng(seed);
    auto i16 = [&](int lo, int hi) { return static_cast<int16_t>(std::uniform_int_distribution<int>(lo, hi)(rng)); };
    auto f32 = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    CPileRecord r;
    r.m_nPileNo = i16(1, 500);
    r.SetPileName(extreme ? "桩号名称长" : "A-" + std::to_string(seed % 100));
    r.m_nPileType = extreme ? int16_t{-32768} : i16(0, 7);
    r.m_nDiameter = extreme ? int16_t{32767} : i16(300, 1500);
    r.SetTestDate("2024-05-" + std::to_string(10 + seed % 20));
    r.m_nSignalType = extreme ? int16_t{-1} : i16(0, 3);
    r.m_nAux1 = extreme ? int16_t{-32768} : i16(-100, 100);
    r.m_nAux2 = extreme ? int16_t{32767} : i16(-100, 100);
    r.m_fAux3 = extreme ? std::numeric_limits<float>::quiet_NaN() : f32(-1, 1);
    r.m_bIntegrate = i16(0, 1);
    r.m_nLowPassPasses = i16(1, 5);
    r.m_nPreZero = extreme ? int16_t{-5} : i16(0, 40);
    r.m_nPostCut = i16(0, 100);
    r.m_nShiftY = extreme ? int16_t{-160} : i16(-160, 160);
    r.SetRemark(extreme ? std::string(13, 'x') + "备注备注备注备注备注备注备注" : "remark " + std::to_string(seed));
    r.m_fPileLength = static_cast<float>(std::round(f32(3, 40) * 10) / 10);
    r.m_nWaveSpeed = i16(3000, 4500);
    r.m_fSampleInterval = std::array<float, 3>{10.f, 20.f, 25.f}[seed % 3];
    r.m_nAux4 = extreme ? int16_t{-32768} : i16(-5, 5);
    r.m_nGainMode = i16(0, 1);
    r.m_fGain = f32(1, 50);
    r.m_fGainDelay = f32(0, 3);
    r.m_fLowPass = f32(0, 5);
    r.m_fHighPass = f32(0, 100);
    r.m_nRotate = i16(-100, 100);
    r.m_nHeadSample = i16(0, 200);
    r.m_nStep = i16(1, 4);
    for (int i = 0; i < 3; ++i) r.m_Defects[i] = DefectMark{i16(1, 7), f32(0.5, 20)};
    if (extreme) r.m_Defects[9] = DefectMark{-1, std::numeric_limits<float>::infinity()};
    r.m_nSmooth = i16(1, 32);
    r.m_nShiftX = i16(-200, 200);
    r.m_nZoom = i16(-10, 20);
    for (int i = 0; i < static_cast<int>(seed % 4); ++i)
        r.m_pSegments.push_back(AmpSegment{f32(-1, 3), i16(0, 400), i16(400, 1023)});
    r.m_bChecked = static_cast<int32_t>(seed % 2);
    r.SetInfo(extreme ? "信息信息信息信息信息信息信息信息信息" : "info " + std::to_string(seed));
    for (auto& v : r.m_fRaw) v = f32(-1000, 1000);
    if (extreme) {
        r.m_fRaw[0] = std::numeric_limits<float>::quiet_NaN();
        r.m_fRaw[1] = -std::numeric_limits<float>::infinity();
        r.m_fRaw[2] = std::numeric_limits<float>::denorm_min();
    }
    r.m_nMarkCount = static_cast<int16_t>(seed % 6);
    for (int i = 0; i < r.m_nMarkCount; ++i) r.m_nMarks[i] = i16(-100, 600);
    return r;
}

inline CProjectHeader MakeHeader(const std::string& unit = "检测单位", const std::string& project = "工程") {
    CProjectHeader h;
    h.SetTestUnit(unit);
    h.SetProjectName(project);
    return h;
}

// Project file bytes of the given version (1 = the checked-piles layout with its real magic).
inline std::vector<uint8_t> ProjectBytes(int version, const std::vector<CPileRecord>& piles,
                                         const CProjectHeader& header = MakeHeader()) {
    CMemorySink sink;
    if (version == 3) {
        WriteProject(sink, header, piles);
    } else if (version == 2) {
        WriteProjectV2(sink, header, piles);
    } else {
        std::vector<int> numbers;
        for (const auto& p : piles) numbers.push_back(p.m_nPileNo);
        WriteCheckedPiles(sink, header, piles, numbers);
    }
    return sink.m_Bytes;
}

inline std::vector<uint8_t> PileBytes(const CPileRecord& rec) {
    CMemorySink sink;
    WritePile(sink, rec);
    return sink.m_Bytes;
}

inline void PutI16(std::vector<uint8_t>& b, std::size_t at, int16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8);
}
inline void PutI32(std::vector<uint8_t>& b, std::size_t at, int32_t v) {
    for (int k = 0; k < 4; ++k) b[at + k] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * k));
}
inline void PutF32(std::vector<uint8_t>& b, std::size_t at, float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    PutI32(b, at, static_cast<int32_t>(u));
}

} // namespace pw::test
