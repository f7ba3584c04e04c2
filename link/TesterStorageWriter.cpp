// Tester storage writer. Record file layout (4338 bytes, little-endian, texts zero-padded GBK):
//     0 int16 pile no | 2 char[10] name | 12 int16 pile type | 14 int16 diameter (mm) | 16 char[20] date
//    36 int16 signal type | 38 int16 aux1 | 40 int16 aux2 | 42 float aux3 | 46 int16 integrate
//    48 int16 low-pass passes | 50 char[46] remark | 96 float pile length (m) | 100 int16 wave speed (m/s)
//   102 float sampling interval (µs) | 106 int16 aux4 | 108 int16 gain mode
//   110 float gain, gain delay, low-pass, high-pass | 126 int16 rotate | 128 int16 head sample
//   130 int16 step | 132 ten defects {int16 type, float depth} | 192 12 bytes not used
//   204 int16 smoothing | 206 char[36] info | 242 float[1024] raw samples
#include "link/TesterStorageWriter.h"

#include "core/GbkText.h"
#include "core/ProjectFile.h"

#include <cstring>
#include <filesystem>
#include <system_error>

namespace pw {

namespace {

void Text(CBinWriter& out, const char* field, size_t nFieldWidth, size_t nWidth) {
    char buffer[64] = {}; // wider than any field written
    const std::string_view text = FieldText(field, nFieldWidth);
    std::memcpy(buffer, text.data(), GbkCutLength(text.data(), text.size(), nWidth - 1));
    out.Bytes(buffer, nWidth);
}

bool WriteFile(const std::filesystem::path& path, std::string& szError,
               const std::function<bool(CByteSink&)>& body) {
    szError = WriteFileAtomically(path.string(), body);
    return szError.empty();
}

} // namespace

bool WriteSiteList(CByteSink& sink, const std::vector<std::string>& gbkNames) {
    CBinWriter out(sink);
    out.I16(static_cast<int16_t>(gbkNames.size()));
    for (const std::string& szName : gbkNames) {
        char entry[kSiteNameWidth] = {};
        std::memcpy(entry, szName.data(), GbkCutLength(szName.data(), szName.size(), kSiteNameWidth - 1));
        out.Bytes(entry, sizeof entry);
    }
    return out.Ok();
}

bool WriteFolderParameters(CByteSink& sink, const CProjectHeader& header, int nCount) {
    CBinWriter out(sink);
    out.I16(static_cast<int16_t>(nCount));
    Text(out, header.m_szTestUnit, sizeof header.m_szTestUnit, 50);
    Text(out, header.m_szProjectName, sizeof header.m_szProjectName, 20);
    return out.Ok();
}

bool WriteInstrumentRecord(CByteSink& sink, const CPileRecord& r, int n) {
    CBinWriter out(sink);
    out.I16(static_cast<int16_t>(n));
    Text(out, r.m_szPileName, sizeof r.m_szPileName, 10);
    out.I16(r.m_nPileType);
    out.I16(r.m_nDiameter);
    Text(out, r.m_szTestDate, sizeof r.m_szTestDate, 20);
    out.I16(r.m_nSignalType);
    out.I16(r.m_nAux1);
    out.I16(r.m_nAux2);
    out.F32(r.m_fAux3);
    out.I16(r.m_bIntegrate);
    out.I16(r.m_nLowPassPasses);
    Text(out, r.m_szRemark, sizeof r.m_szRemark, 46);
    WriteScaleAndDefects(out, r);
    const uint8_t unused[12] = {};
    out.Bytes(unused, sizeof unused);
    out.I16(r.m_nSmooth);
    Text(out, r.m_szInfo, sizeof r.m_szInfo, 36);
    WriteRawSamples(out, r.m_fRaw);
    return out.Ok();
}

bool SiteFolderName(const std::string& szUtf8, std::string& szGbk, std::string& szError) {
    szGbk = Utf8ToGbk(szUtf8);
    if (szGbk.empty() || szGbk == "." || szGbk == "..") {
        szError = "\"" + szUtf8 + "\" cannot name a site folder";
        return false;
    }
    if (szGbk.size() > kSiteNameWidth - 1) {
        szError = "site name \"" + szUtf8 + "\" is longer than 46 bytes";
        return false;
    }
    // The tester's paths are DOS paths: a GBK trail byte may be 0x5C, but a separator must not be.
    for (size_t i = 0; i < szGbk.size(); ++i) {
        const auto c = static_cast<unsigned char>(szGbk[i]);
        if (c >= 0x81 && c <= 0xFE && i + 1 < szGbk.size()) {
            ++i;
            continue;
        }
        if (c < 0x20 || c == 0x7F || c == '\\' || c == '/' || c == ':') {
            szError = "site name \"" + szUtf8 + "\" holds a character a folder name cannot";
            return false;
        }
    }
    return true;
}

bool WriteTesterSite(const std::string& szRoot, const CTesterSite& site, std::string& szError) {
    std::string szFolder;
    if (!SiteFolderName(site.m_szName, szFolder, szError)) return false;
    if (site.m_Piles.size() > 32767) {
        szError = "a site holds at most 32767 records";
        return false;
    }
    const std::filesystem::path folder = std::filesystem::path(szRoot) / szFolder;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        szError = "cannot create " + folder.string() + ": " + error.message();
        return false;
    }
    const int nCount = static_cast<int>(site.m_Piles.size());
    // pindex.par is fetched and deleted unread by the PC: two zero bytes per record stand in for it.
    if (!WriteFile(folder / "wvf.par", szError,
                   [&](CByteSink& sink) { return WriteFolderParameters(sink, site.m_Header, nCount); }) ||
        !WriteFile(folder / "pindex.par", szError, [&](CByteSink& sink) {
            const std::vector<uint8_t> zeros(2 * site.m_Piles.size(), 0);
            return zeros.empty() || sink.Write(zeros.data(), zeros.size());
        }))
        return false;
    for (int n = 1; n <= nCount; ++n) {
        const CPileRecord& rec = site.m_Piles[static_cast<size_t>(n - 1)];
        if (!WriteFile(folder / (std::to_string(n) + ".wvf"), szError,
                       [&](CByteSink& sink) { return WriteInstrumentRecord(sink, rec, n); }))
            return false;
    }
    return true;
}

bool WriteTesterStorage(const std::string& szRoot, const std::vector<CTesterSite>& sites,
                        std::string& szError) {
    std::vector<std::string> names;
    for (const CTesterSite& site : sites) {
        std::string szGbk;
        if (!SiteFolderName(site.m_szName, szGbk, szError)) return false;
        names.push_back(szGbk);
    }
    if (sites.size() > 32767) {
        szError = "a site list holds at most 32767 sites";
        return false;
    }
    for (const CTesterSite& site : sites)
        if (!WriteTesterSite(szRoot, site, szError)) return false;
    return WriteFile(std::filesystem::path(szRoot) / "RSITE.PAR", szError,
                     [&](CByteSink& sink) { return WriteSiteList(sink, names); });
}

} // namespace pw
