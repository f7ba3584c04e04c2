// Synthetic tester storage: record files in the tester's 4338-byte layout (little-endian):
//   0 pile no i16 | 2 name[10] | 12 pile type i16 | 14 diameter i16 (mm) | 16 date[20] |
//   36 signal type i16 | 38, 40 aux i16 | 42 aux f32 | 46 integrate i16 | 48 low-pass passes i16 |
//   50 remark[46] | 96 pile length f32 (m) | 100 wave speed i16 (m/s) | 102 sample interval f32 (µs) |
//   106 aux i16 | 108 gain mode i16 | 110 gain, gain delay, low-pass, high-pass f32 |
//   126 rotate i16 | 128 head sample i16 | 130 step i16 | 132 ten defects (i16 type, f32 depth) |
//   192 50 bytes (12 reserved, smoothing i16, info[36]) | 242 1024 raw samples f32
#include "link/TesterSampleStorage.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace pw {

namespace {

void PutI16(std::vector<uint8_t>& b, size_t n, int16_t v) {
    b[n] = static_cast<uint8_t>(v & 0xFF);
    b[n + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}
void PutF32(std::vector<uint8_t>& b, size_t n, float v) {
    std::memcpy(b.data() + n, &v, 4);
}
void PutText(std::vector<uint8_t>& b, size_t n, const char* sz) {
    std::memcpy(b.data() + n, sz, std::strlen(sz));
}

bool WriteFile(const std::string& szPath, const std::vector<uint8_t>& bytes, std::string& szError) {
    std::FILE* pFile = std::fopen(szPath.c_str(), "wb");
    const bool bOk = pFile && std::fwrite(bytes.data(), 1, bytes.size(), pFile) == bytes.size();
    if (pFile && std::fclose(pFile) != 0) return false;
    if (!bOk) szError = "cannot write " + szPath;
    return bOk;
}

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
    const char* const kSites[] = {"DEMO1", "DEMO2"};
    std::vector<uint8_t> list(2 + 47 * 2, 0);
    PutI16(list, 0, 2);
    for (size_t s = 0; s < 2; ++s)
        PutText(list, 2 + 47 * s, kSites[s]);
    if (!WriteFile(szFolder + "/RSITE.PAR", list, szError)) return false;
    constexpr int kPiles = 5;
    for (int s = 0; s < 2; ++s) {
        const std::string szSite = szFolder + "/" + kSites[s];
        std::error_code error;
        std::filesystem::create_directories(szSite, error);
        if (error) {
            szError = "cannot create " + szSite + ": " + error.message();
            return false;
        }
        std::vector<uint8_t> parameters(72, 0);
        PutI16(parameters, 0, kPiles);
        PutText(parameters, 2, "Demo testing unit");
        PutText(parameters, 52, kSites[s]);
        if (!WriteFile(szSite + "/wvf.par", parameters, szError) ||
            !WriteFile(szSite + "/pindex.par", std::vector<uint8_t>(2 * kPiles, 0), szError))
            return false;
        for (int n = 1; n <= kPiles; ++n) {
            std::vector<uint8_t> record(4338, 0);
            const float fLength = 10.0f + 1.5f * static_cast<float>(n) + 4.0f * static_cast<float>(s);
            const float fSpeed = 3600.0f + 50.0f * static_cast<float>(n);
            const float fInterval = 20.0f;
            const int nHead = 50;
            char szName[16];
            std::snprintf(szName, sizeof szName, "%d-%d", s + 1, n);
            PutI16(record, 0, static_cast<int16_t>(n));
            PutText(record, 2, szName);
            PutI16(record, 12, static_cast<int16_t>(n % 8));
            PutI16(record, 14, 800);
            PutText(record, 16, s == 0 ? "2024-05-11" : "2024-05-12");
            PutI16(record, 48, 2);
            PutF32(record, 96, fLength);
            PutI16(record, 100, static_cast<int16_t>(fSpeed));
            PutF32(record, 102, fInterval);
            PutF32(record, 110, 1.0f);
            PutI16(record, 128, nHead);
            PutI16(record, 130, 2);
            const float fDefect = n == 3 ? fLength / 2 : 0.0f;
            if (fDefect > 0) {
                PutI16(record, 132, 2);
                PutF32(record, 134, fDefect);
            }
            const std::vector<float> samples = Trace(fLength, fSpeed, fInterval, nHead, fDefect);
            for (size_t i = 0; i < samples.size(); ++i)
                PutF32(record, 242 + 4 * i, samples[i]);
            if (!WriteFile(szSite + "/" + std::to_string(n) + ".wvf", record, szError)) return false;
        }
    }
    return true;
}

} // namespace pw
