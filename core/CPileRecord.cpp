// Record operations that need no processing: head, defect list, spectrum marks, segments, copying.
#include "core/CPileRecord.h"

#include <algorithm>
#include <cstring>

#include "core/CoreMessages.h"

namespace pw {
namespace {

// A step read from a file may be 0 or negative; a display point is then taken as one sample.
int SafeStep(int16_t step) { return step >= 1 ? step : 1; }

void AdjustFactor(AmpSegment& seg, int up) {
    float& f = seg.fFactor;
    if (up) {
        f += f >= 0.f ? 0.5f : 0.1f;
    } else if (f >= 0.f) {
        f -= 0.5f;
    } else if (f > -1.f) {
        f -= 0.1f;
        if (f < -1.f) f = -1.f; // -0.9 - 0.1 lands a hair below -1 in float: the floor is -1
    }
}

} // namespace

void CPileRecord::SetHeadPoint(int point) {
    m_nHeadSample = static_cast<int16_t>(m_nStep * point);
    m_nFitHeadPoint = point;
}

int CPileRecord::GetHeadPoint() const { return m_nHeadSample / SafeStep(m_nStep); }

int CPileRecord::GetDefectCount() const {
    int n = 0;
    while (n < kMaxDefects && m_Defects[n].nType != 0) ++n;
    return n;
}

int CPileRecord::AddDefect(float depth, int type) {
    // Only the entries in use count: a file may leave stale depths behind the terminator, and a match
    // there would change an unused slot while the user's defect never appears.
    const int n = GetDefectCount();
    for (int i = 0; i < n; ++i) {
        if (m_Defects[i].fDepth == depth) { // the same depth marked again: only the type changes
            m_Defects[i].nType = static_cast<int16_t>(type);
            return 1;
        }
    }
    if (n >= kMaxDefects) return 0;
    m_Defects[n] = DefectMark{static_cast<int16_t>(type), depth};
    // The slot behind the new last entry becomes the terminator, so a stale entry a file left there
    // does not come back as a defect.
    if (n + 1 < kMaxDefects) m_Defects[n + 1] = DefectMark{};
    return 1;
}

int CPileRecord::RemoveDefect(int index) {
    const int n = GetDefectCount();
    if (index < 0 || index >= n) return 0;
    for (int i = index; i + 1 < n; ++i) m_Defects[i] = m_Defects[i + 1];
    m_Defects[n - 1] = DefectMark{};
    return 1;
}

int CPileRecord::GetDefectSeverity() const {
    int result = 0;
    const int n = GetDefectCount();
    for (int i = 0; i < n; ++i) {
        switch (m_Defects[i].nType) {
        case 2: case 4: case 5: case 6: result = std::max(result, 1); break;
        case 3: result = 2; break;
        default: break; // 扩径 and 扩底 are not defects of integrity
        }
    }
    return result;
}

int CPileRecord::AddMark(int column) {
    if (m_nMarkCount < 0 || m_nMarkCount >= kMaxMarks) return 0;
    m_nMarks[m_nMarkCount++] = static_cast<int16_t>(column);
    return 1;
}

int CPileRecord::FindMark(int column) const {
    const int n = std::clamp<int>(m_nMarkCount, 0, kMaxMarks);
    for (int i = 0; i < n; ++i)
        if (std::abs(m_nMarks[i] - column) < 4) return i;
    return -1;
}

void CPileRecord::RemoveMark(int index) {
    const int n = std::clamp<int>(m_nMarkCount, 0, kMaxMarks);
    if (index < 0 || index >= n) return;
    for (int i = index; i + 1 < n; ++i) m_nMarks[i] = m_nMarks[i + 1];
    m_nMarks[n - 1] = 0;
    m_nMarkCount = static_cast<int16_t>(n - 1);
}

void CPileRecord::AdjustSegment(int from, int to, int up) {
    const auto f16 = static_cast<int16_t>(from);
    const auto t16 = static_cast<int16_t>(to);
    if (m_pSegments.empty() || m_pSegments.back().nFrom != f16 || m_pSegments.back().nTo != t16)
        m_pSegments.push_back(AmpSegment{0.f, f16, t16});
    AdjustFactor(m_pSegments.back(), up);
}

std::string CPileRecord::CopyParameters(const CPileRecord* source) {
    if (!source) return msg::kError;
    const CPileRecord& s = *source;
    SetHeadPoint(s.GetHeadPoint()); // head sample follows this record's own step
    m_fPileLength = s.m_fPileLength;
    m_fHighPass = s.m_fHighPass;
    m_nSignalType = s.m_nSignalType;
    m_fLowPass = s.m_fLowPass;
    m_fGainDelay = s.m_fGainDelay;
    m_fGain = s.m_fGain;
    m_nRotate = s.m_nRotate;
    m_nWaveSpeed = s.m_nWaveSpeed;
    m_nGainMode = s.m_nGainMode;
    m_nPreZero = s.m_nPreZero;
    m_nPostCut = s.m_nPostCut;
    m_nShiftY = s.m_nShiftY;
    m_nLowPassPasses = s.m_nLowPassPasses;
    m_fSampleInterval = s.m_fSampleInterval;
    m_nPileNo = s.m_nPileNo;
    std::memcpy(m_szPileName, s.m_szPileName, sizeof m_szPileName);
    m_nPileType = s.m_nPileType;
    m_nDiameter = s.m_nDiameter;
    std::memcpy(m_szTestDate, s.m_szTestDate, sizeof m_szTestDate);
    m_nAux1 = s.m_nAux1;
    m_fAux3 = s.m_fAux3;
    std::memcpy(m_szRemark, s.m_szRemark, sizeof m_szRemark);
    m_nStep = s.m_nStep;
    return {};
}

} // namespace pw
