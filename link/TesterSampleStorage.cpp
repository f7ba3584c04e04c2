// Synthetic tester storage: two sites of five simple records each, written in the tester's own
// formats by the storage writer.
#include "link/TesterSampleStorage.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "link/TesterStorageWriter.h"

namespace pw {

namespace {

// Velocity at the pile head: a half-sine hammer pulse (1 ms), the toe echo after 2L/c, and a small
// echo of opposite sign from a neck-down at nDefectDepth metres (0: none).
std::vector<float> Trace(float fLength, float fSpeed, float fInterval, int nHead, float fDefectDepth) {
    std::vector<float> samples(1024, 0.0f);
    const double kPi = 3.14159265358979;
    auto AddPulse = [&](double tStartUs, double fAmplitude) {
        for (int i = 0; i < 1024; ++i) {
            const double t = i * fInterval - tStartUs;
            if (t >= 0 && t <= 1000.0)
                samples[i] += static_cast<float>(fAmplitude * std::sin(kPi * t / 1000.0));
        }
    };
    const double tHead = nHead * fInterval;
    AddPulse(tHead, 1.0);
    AddPulse(tHead + 2e6 * fLength / fSpeed, 0.35);
    if (fDefectDepth > 0) AddPulse(tHead + 2e6 * fDefectDepth / fSpeed, -0.2);
    for (int i = 0; i < 1024; ++i)
        samples[i] += static_cast<float>(0.01 * std::sin(i * 0.37)); // a little noise
    return samples;
}

} // namespace

bool WriteSampleTesterStorage(const std::string& szFolder, std::string& szError) {
    constexpr int kPiles = 5;
    std::vector<CTesterSite> sites;
    for (int s = 0; s < 2; ++s) {
        CTesterSite site;
        site.m_szName = s == 0 ? "DEMO1" : "DEMO2";
        site.m_Header.SetTestUnit("Demo testing unit");
        site.m_Header.SetProjectName(site.m_szName);
        for (int n = 1; n <= kPiles; ++n) {
            CPileRecord rec;
            const float fLength = 10.0f + 1.5f * static_cast<float>(n) + 4.0f * static_cast<float>(s);
            const float fSpeed = 3600.0f + 50.0f * static_cast<float>(n);
            char szName[16];
            std::snprintf(szName, sizeof szName, "%d-%d", s + 1, n);
            rec.m_nPileNo = static_cast<int16_t>(n);
            rec.SetPileName(szName);
            rec.m_nPileType = static_cast<int16_t>(n % 8);
            rec.m_nDiameter = 800;
            rec.SetTestDate(s == 0 ? "2024-05-11" : "2024-05-12");
            rec.m_nLowPassPasses = 2;
            rec.m_fPileLength = fLength;
            rec.m_nWaveSpeed = static_cast<int16_t>(fSpeed);
            rec.m_fSampleInterval = 20.0f;
            rec.m_fGain = 1.0f;
            rec.m_nHeadSample = 50;
            rec.m_nStep = 2;
            const float fDefect = n == 3 ? fLength / 2 : 0.0f;
            if (fDefect > 0) rec.m_Defects[0] = DefectMark{2, fDefect};
            const std::vector<float> samples = Trace(fLength, fSpeed, rec.m_fSampleInterval, 50, fDefect);
            std::copy(samples.begin(), samples.end(), rec.m_fRaw);
            site.m_Piles.push_back(std::move(rec));
        }
        sites.push_back(std::move(site));
    }
    return WriteTesterStorage(szFolder, sites, szError);
}

} // namespace pw
