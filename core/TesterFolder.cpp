// Tester folder reader.
//
// "idindx.par" (44 bytes): 0 bytes[20] | 20 int16 | 22 bytes[20] | 42 int16 N (only N is used).
//
// Per-pile file n.wvf (4296 bytes, little-endian):
//   0 int16 pile no (replaced by n) | 2 char[10] name | 12 int16 diameter | 14 int16 signal type
//  16 int16 aux1 | 18 int16 aux2 | 20 float aux3 | 24 int16 integrate | 26 int16 low-pass passes
//  28 char[26] remark (first 26 bytes) | 54 float length | 58 int16 speed | 60 float dt | 64 int16 aux4
//  66 int16 gain mode | 68 float gain, gain delay, low-pass, high-pass | 84 int16 rotate
//  86 int16 head sample | 88 int16 step | 90 10 x {int16 type, float depth} | 150 int16[8] not used
// 166 char[34] info (first 34 bytes) | 200 float[1024] raw
// No test date and no pile type are stored.
#include "core/TesterFolder.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace pw {

std::unique_ptr<CByteSource> CDirectoryFolder::Open(const std::string& name) {
    std::string path = m_strDir;
    if (!path.empty() && path.back() != '/') path += '/';
    return CFileSource::Open(path + name, nullptr);
}

std::unique_ptr<CByteSource> CMemoryFolder::Open(const std::string& name) {
    auto it = m_Files.find(name);
    if (it == m_Files.end()) return nullptr;
    return std::make_unique<CMemorySource>(it->second);
}

std::string FolderOfPath(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return path;
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

int ReadFolderCount(CFolderSource& folder) {
    auto src = folder.Open("idindx.par");
    if (!src) return 0;
    CBinReader in(*src);
    in.Skip(42);
    const int16_t n = in.I16();
    return in.Ok() ? n : 0;
}

bool ReadPileFile(CPileRecord& rec, CByteSource& src, int n) {
    CPileRecord r = rec; // fill a copy: a short file leaves rec as it was
    CBinReader in(src);
    char text[64];
    in.I16(); // the tester's own number; the position in the folder decides
    r.m_nPileNo = static_cast<int16_t>(n);
    in.Bytes(text, 10);
    ReadFieldText(r.m_szPileName, sizeof r.m_szPileName, text, 10);
    r.m_nDiameter = in.I16();
    r.m_nSignalType = in.I16();
    r.m_nAux1 = in.I16();
    r.m_nAux2 = in.I16();
    r.m_fAux3 = in.F32();
    r.m_bIntegrate = in.I16();
    r.m_nLowPassPasses = in.I16();
    in.Bytes(text, 26);
    ReadFieldText(r.m_szRemark, sizeof r.m_szRemark, text, 26);
    r.m_fPileLength = in.F32();
    r.m_nWaveSpeed = in.I16();
    r.m_fSampleInterval = in.F32();
    r.m_nAux4 = in.I16();
    r.m_nGainMode = in.I16();
    r.m_fGain = in.F32();
    r.m_fGainDelay = in.F32();
    r.m_fLowPass = in.F32();
    r.m_fHighPass = in.F32();
    r.m_nRotate = in.I16();
    r.m_nHeadSample = in.I16();
    r.m_nStep = in.I16();
    for (auto& d : r.m_Defects) {
        d.nType = in.I16();
        d.fDepth = in.F32();
    }
    in.Skip(16);
    in.Bytes(text, 34);
    ReadFieldText(r.m_szInfo, sizeof r.m_szInfo, text, 34);
    uint8_t raw[kSamples * 4];
    if (!in.Bytes(raw, sizeof raw)) return false;
    for (int i = 0; i < kSamples; ++i) {
        const uint32_t u = uint32_t{raw[4 * i]} | (uint32_t{raw[4 * i + 1]} << 8) | (uint32_t{raw[4 * i + 2]} << 16) |
                           (uint32_t{raw[4 * i + 3]} << 24);
        std::memcpy(&r.m_fRaw[i], &u, 4);
    }
    StoreFieldText(r.m_szTestDate, sizeof r.m_szTestDate, "2013-12-12");
    r.m_nPreZero = r.m_nPostCut = r.m_nShiftY = 0;
    r.m_nSmooth = 0;
    r.Touch();
    rec = std::move(r);
    return true;
}

CReadReport LoadFolder(CFolderSource& folder, CProjectData& out) {
    CReadReport report;
    out.m_Piles.clear();
    out.m_Header.m_nPileCount = 0;
    int count = ReadFolderCount(folder);
    if (count < 0) {
        report.m_Notes.push_back("idindx.par holds a negative pile count " + std::to_string(count) + "; read as 0");
        count = 0;
    }
    if (count > kMaxPiles) {
        report.m_Notes.push_back("idindx.par counts " + std::to_string(count) + " piles; the first " +
                                 std::to_string(kMaxPiles) + " are read");
        count = kMaxPiles;
    }
    out.m_Piles.resize(static_cast<std::size_t>(count));
    for (int n = 1; n <= count; ++n) {
        CPileRecord& rec = out.m_Piles[static_cast<std::size_t>(n - 1)];
        // Even a record without its file is numbered: piles are found by number everywhere.
        rec.m_nPileNo = static_cast<int16_t>(n);
        char name[16];
        std::snprintf(name, sizeof name, "%d.wvf", n);
        auto src = folder.Open(name);
        if (!src) {
            report.m_Notes.push_back(std::string(name) + " is missing; pile " + std::to_string(n) + " is left empty");
        } else if (!ReadPileFile(rec, *src, n)) {
            report.m_Notes.push_back(std::string(name) + " is shorter than a pile file (4296 bytes); pile " +
                                     std::to_string(n) + " is left empty");
        }
    }
    out.m_Header.m_nPileCount = static_cast<int16_t>(count);
    return report;
}

} // namespace pw
