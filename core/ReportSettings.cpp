// Report settings: the 4042-byte record, the dialog's value type and the numbered files.
#include "core/ReportSettings.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/CoreMessages.h"
#include "core/GbkText.h"

namespace pw {
namespace {

constexpr std::size_t kMarkerWidth = 30;
constexpr std::size_t kBlock = 200;
constexpr std::size_t kGeologyAt = 2030, kDateAt = 4030;

// The ten 200-byte blocks in stored order, from offset 30.
std::vector<char*> Blocks(CReportSettings& s) {
    return {s.m_szReportNo,        s.m_szAddress,     s.m_szOwner,  s.m_szDesignUnit, s.m_szConstructionUnit,
            s.m_szSupervisionUnit, s.m_szQualityUnit, s.m_szClient, s.m_szInspectors, s.m_szStrength};
}

int32_t I32At(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                                (uint32_t(p[3]) << 24));
}

std::size_t ReadUpTo(CByteSource& src, uint8_t* buf, std::size_t size) {
    std::size_t n = 0;
    while (n < size) {
        const std::size_t got = src.Read(buf + n, size - n);
        if (got == 0) break;
        n += got;
    }
    return n;
}

bool StartsWithMarker(const uint8_t* buf, std::size_t n) {
    return FieldText(reinterpret_cast<const char*>(buf), std::min(n, kMarkerWidth)) == kReportMarker;
}

enum class Slot { Missing, Ours, Foreign };

Slot Probe(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return Slot::Missing;
    // An existing file that cannot be read is someone else's as well: it is not ours to replace.
    auto file = CFileSource::Open(path, nullptr);
    if (!file) return Slot::Foreign;
    uint8_t buf[kMarkerWidth];
    const std::size_t n = ReadUpTo(*file, buf, sizeof buf);
    return StartsWithMarker(buf, n) ? Slot::Ours : Slot::Foreign;
}

} // namespace

CReportSettings CReportInfo::ToSettings() const {
    CReportSettings s;
    const std::string* texts[] = {
        &m_strReportNo,        &m_strAddress,     &m_strOwner,  &m_strDesignUnit, &m_strConstructionUnit,
        &m_strSupervisionUnit, &m_strQualityUnit, &m_strClient, &m_strInspectors, &m_strStrength};
    const std::vector<char*> blocks = Blocks(s);
    for (std::size_t i = 0; i < blocks.size(); ++i)
        StoreFieldText(blocks[i], kBlock, Utf8ToGbk(*texts[i]));
    SetFieldUtf8(s.m_szGeology, m_strGeology);
    // An empty pouring date is not a date to keep: the record's own date stays.
    if (m_PourDate.IsValid()) {
        s.m_nPourYear = m_PourDate.nYear;
        s.m_nPourMonth = m_PourDate.nMonth;
        s.m_nPourDay = m_PourDate.nDay;
    }
    return s;
}

void CReportInfo::TakeSettings(const CReportSettings& in) {
    CReportSettings s = in;
    std::string* texts[] = {
        &m_strReportNo,        &m_strAddress,     &m_strOwner,  &m_strDesignUnit, &m_strConstructionUnit,
        &m_strSupervisionUnit, &m_strQualityUnit, &m_strClient, &m_strInspectors, &m_strStrength};
    const std::vector<char*> blocks = Blocks(s);
    for (std::size_t i = 0; i < blocks.size(); ++i)
        *texts[i] = GbkToUtf8(FieldText(blocks[i], kBlock));
    m_strGeology = FieldUtf8(s.m_szGeology);
    const CDate pour{s.m_nPourYear, s.m_nPourMonth, s.m_nPourDay};
    if (pour.IsValid()) m_PourDate = pour;
}

bool ReadReportSettings(CByteSource& src, CReportSettings& out) {
    std::vector<uint8_t> buf(kReportSettingsSize);
    const std::size_t n = ReadUpTo(src, buf.data(), buf.size());
    if (!StartsWithMarker(buf.data(), n)) return false;
    CReportSettings s = CReportInfo().ToSettings();
    // A block cut short keeps the text that is there; the date fields only when whole.
    auto text = [&](char* dst, std::size_t width, std::size_t at) {
        if (n > at)
            ReadFieldText(dst, width, reinterpret_cast<const char*>(buf.data() + at),
                          std::min(width, n - at));
    };
    const std::vector<char*> blocks = Blocks(s);
    for (std::size_t i = 0; i < blocks.size(); ++i)
        text(blocks[i], kBlock, kMarkerWidth + i * kBlock);
    text(s.m_szGeology, sizeof s.m_szGeology, kGeologyAt);
    int32_t* date[] = {&s.m_nPourYear, &s.m_nPourMonth, &s.m_nPourDay};
    for (std::size_t i = 0; i < 3; ++i)
        if (kDateAt + 4 * i + 4 <= n) *date[i] = I32At(buf.data() + kDateAt + 4 * i);
    out = s;
    return true;
}

bool WriteReportSettings(CByteSink& sink, const CReportSettings& in) {
    CReportSettings s = in;
    CBinWriter w(sink);
    char marker[kMarkerWidth] = {};
    std::memcpy(marker, kReportMarker, std::strlen(kReportMarker));
    w.Bytes(marker, sizeof marker);
    for (char* block : Blocks(s))
        w.Bytes(block, kBlock);
    w.Bytes(s.m_szGeology, sizeof s.m_szGeology);
    w.I32(s.m_nPourYear);
    w.I32(s.m_nPourMonth);
    w.I32(s.m_nPourDay);
    return w.Ok();
}

std::string ReportSettingsPath(const std::string& folder, int n) {
    return (std::filesystem::path(folder) / ("ReportSet" + std::to_string(n) + ".ini")).string();
}

std::string ReportMorePath(const std::string& folder, int n) {
    return (std::filesystem::path(folder) / ("ReportSet" + std::to_string(n) + ".more.ini")).string();
}

namespace {

struct CMoreKey {
    const char* m_pKey;
    std::string CReportInfo::*m_pText;
};
const CMoreKey kMoreKeys[] = {
    {"survey_unit", &CReportInfo::m_strSurveyUnit},     {"standard", &CReportInfo::m_strStandard},
    {"method", &CReportInfo::m_strMethod},              {"instrument", &CReportInfo::m_strInstrument},
    {"instrument_no", &CReportInfo::m_strInstrumentNo}, {"sensor", &CReportInfo::m_strSensor},
    {"reviewer", &CReportInfo::m_strReviewer},          {"approver", &CReportInfo::m_strApprover},
    {"review_date", &CReportInfo::m_strReviewDate},     {"approve_date", &CReportInfo::m_strApproveDate},
};

// One line per value: line breaks inside a value would start another key.
std::string OneLine(std::string s) {
    for (char& c : s)
        if (c == '\n' || c == '\r') c = ' ';
    return s;
}

} // namespace

std::string ReportMoreText(const CReportInfo& info) {
    std::string text;
    for (const CMoreKey& k : kMoreKeys) text += std::string(k.m_pKey) + "=" + OneLine(info.*k.m_pText) + "\n";
    text += "site_total=" + std::to_string(info.m_nSiteTotal) + "\n";
    return text;
}

void TakeReportMoreText(const std::string& text, CReportInfo& info) {
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(from, end - from);
        from = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        for (const CMoreKey& k : kMoreKeys)
            if (key == k.m_pKey) info.*k.m_pText = value;
        if (key == "site_total") {
            char* rest = nullptr;
            const long n = std::strtol(value.c_str(), &rest, 10);
            if (rest && *rest == '\0' && n >= 0 && n <= 100000) info.m_nSiteTotal = static_cast<int>(n);
        }
    }
}

int FindReportSettingsSlot(const std::string& folder) {
    for (int n = 0; n < kReportSettingsSlots; ++n)
        if (Probe(ReportSettingsPath(folder, n)) != Slot::Foreign) return n;
    return -1;
}

CReportSettingsResult LoadReportSettings(const std::string& folder, CReportInfo& info) {
    CReportSettingsResult result;
    const int n = FindReportSettingsSlot(folder);
    if (n < 0) {
        result.m_eCode = EResultCode::ReadFailed;
        result.m_strMessage = msg::kReadSettingsFailed;
        result.m_strDetail = "no file ReportSet0.ini .. ReportSet99.ini in " + folder + " is free";
        return result;
    }
    result.m_strPath = ReportSettingsPath(folder, n);
    std::string error;
    auto file = CFileSource::Open(result.m_strPath, &error);
    // Nothing there yet: the fields keep their defaults, and the file is made by the first save (a
    // read never writes, so a read-only folder still opens the dialog without a message).
    if (!file) return result;
    if (std::ifstream more(ReportMorePath(folder, n), std::ios::binary); more) {
        std::ostringstream text;
        text << more.rdbuf();
        TakeReportMoreText(text.str(), info);
    }
    CReportSettings s;
    if (!ReadReportSettings(*file, s)) {
        // The file changed hands between the look and the read.
        result.m_eCode = EResultCode::ReadFailed;
        result.m_strMessage = msg::kReadSettingsFailed;
        result.m_strDetail = result.m_strPath + " does not carry the marker";
        return result;
    }
    info.TakeSettings(s);
    return result;
}

CReportSettingsResult SaveReportSettings(const std::string& folder, const CReportInfo& info) {
    CReportSettingsResult result;
    const int n = FindReportSettingsSlot(folder);
    if (n < 0) {
        result.m_eCode = EResultCode::WriteFailed;
        result.m_strMessage = msg::kWriteSettingsFailed;
        result.m_strDetail = "no file ReportSet0.ini .. ReportSet99.ini in " + folder + " is free";
        return result;
    }
    result.m_strPath = ReportSettingsPath(folder, n);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    CReportSettings s = info.ToSettings();
    if (!info.m_PourDate.IsValid()) {
        // An empty pouring date keeps the date the file holds (or the record's own default).
        CReportSettings before;
        if (auto file = CFileSource::Open(result.m_strPath, nullptr); file && ReadReportSettings(*file, before)) {
            s.m_nPourYear = before.m_nPourYear;
            s.m_nPourMonth = before.m_nPourMonth;
            s.m_nPourDay = before.m_nPourDay;
        }
    }
    result.m_strDetail =
        WriteFileAtomically(result.m_strPath, [&s](CByteSink& sink) { return WriteReportSettings(sink, s); });
    if (result.m_strDetail.empty()) {
        const std::string more = ReportMoreText(info);
        result.m_strDetail = WriteFileAtomically(
            ReportMorePath(folder, n), [&more](CByteSink& sink) { return sink.Write(more.data(), more.size()); });
    }
    if (!result.m_strDetail.empty()) {
        result.m_eCode = EResultCode::WriteFailed;
        result.m_strMessage = msg::kWriteSettingsFailed;
    }
    return result;
}

} // namespace pw
