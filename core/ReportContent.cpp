// The report's texts from the records and the report information.
#include "core/ReportContent.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/DataChecks.h"
#include "core/GbkText.h"
#include "core/PileOrder.h"
#include "core/PileTypes.h"
#include "core/SiteSpeed.h"

namespace pw {
namespace {

std::string Format(const char* format, auto... args) {
    char text[256];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

// Blanks removed at both ends (the report's paragraphs and the geology text).
std::string Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return std::string(s);
}

// The defects in use: a copy, so the record's count cache is not touched through a const record.
int UsedDefects(const CPileRecord& rec) {
    int n = 0;
    while (n < kMaxDefects && rec.m_Defects[n].nType != 0)
        ++n;
    return n;
}

// The cells both tables share: diameter, length, speed, class.
CReportRow CommonRow(const CPileRecord& rec) {
    CReportRow row;
    row.m_nClass = IntegrityClass(rec);
    row.m_Cells[1] = Format("%d", rec.m_nDiameter);
    row.m_Cells[2] = Format("%0.2f", static_cast<double>(rec.m_fPileLength));
    row.m_Cells[3] = Format("%d", rec.m_nWaveSpeed);
    row.m_Cells[4] = IntegrityClassText(row.m_nClass);
    return row;
}

} // namespace

int IntegrityClass(const CPileRecord& rec) {
    int result = 0;
    for (int i = 0, n = UsedDefects(rec); i < n; ++i) {
        switch (rec.m_Defects[i].nType) {
        case 3: return 2; // 断桩
        case 2:           // 缩径
        case 4:           // 裂纹
        case 5:           // 夹泥
        case 6:           // 离析
            result = 1;
            break;
        default: break; // 扩径 and 扩底 do not lower the class
        }
    }
    return result;
}

const char* IntegrityClassText(int integrityClass) {
    static const char* const kTexts[kIntegrityClassCount] = {"Ⅰ", "Ⅱ/Ⅲ", "Ⅳ"};
    return integrityClass >= 0 && integrityClass < kIntegrityClassCount ? kTexts[integrityClass] : kTexts[0];
}

const char* ReportPileTypeName(int code) {
    return PileTypeText(code >= 0 && code < kPileTypeCount ? code : 0);
}

std::string ReportDateText(const CDate& date) {
    if (!date.IsValid()) return "";
    return Format("%04d年%d月%d日", date.nYear, date.nMonth, date.nDay);
}

std::optional<CDate> DateOfPile(const CPileRecord& rec) {
    const std::string s(FieldText(rec.m_szTestDate, sizeof rec.m_szTestDate));
    auto part = [&](std::size_t from, std::size_t n) {
        return from < s.size() ? std::atoi(s.substr(from, n).c_str()) : 0;
    };
    const CDate date{part(0, 4), part(5, 2), part(8, 2)};
    if (!date.IsValid()) return std::nullopt;
    return date;
}

std::vector<int> TickedPilesInNameOrder(const std::vector<CPileRecord>& piles) {
    std::vector<std::pair<std::string, int>> keyed;
    for (std::size_t i = 0; i < piles.size(); ++i)
        if (piles[i].m_bChecked) keyed.emplace_back(TrimmedPileName(piles[i]), static_cast<int>(i));
    // std::string compares as unsigned bytes: GBK names sort after ASCII ones, as the list sorts them.
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<int> out;
    for (const auto& k : keyed)
        out.push_back(k.second);
    return out;
}

std::array<std::string, 6> WordTableHeader() {
    return {"桩号", "设计桩径\n(mm)", "桩长\n(m)", "声速\n(m/s)", "桩身质\n量评价", "缺陷位置及类型"};
}

CReportRow WordTableRow(const CPileRecord& rec) {
    CReportRow row = CommonRow(rec);
    row.m_Cells[0] = GbkToUtf8(TrimmedPileName(rec));
    for (int i = 0, n = UsedDefects(rec); i < n; ++i)
        row.m_Cells[5] += Format("(%d) 深度%0.1fm  %s\n", i + 1, static_cast<double>(rec.m_Defects[i].fDepth),
                                 DefectTypeText(rec.m_Defects[i].nType));
    return row;
}

std::array<std::string, 6> SheetHeader() {
    return {"桩号", "设计桩径(mm)", "桩长(m)", "声速(m/s)", "桩身质量评价", "缺陷位置及类型"};
}

CReportRow SheetRow(const CPileRecord& rec) {
    CReportRow row = CommonRow(rec);
    row.m_Cells[0] = rec.GetPileName();
    for (int i = 0, n = UsedDefects(rec); i < n; ++i)
        row.m_Cells[5] += Format("(%d)深度%0.1fm %s  ", i + 1, static_cast<double>(rec.m_Defects[i].fDepth),
                                 DefectTypeText(rec.m_Defects[i].nType));
    return row;
}

CReportContent MakeReportContent(const std::vector<CPileRecord>& piles, const CReportInfo& info, int projectPiles,
                                 const CDate& today) {
    CReportContent c;
    c.m_Piles = TickedPilesInNameOrder(piles);
    std::string numbers;
    for (int index : c.m_Piles) {
        const CPileRecord& rec = piles[static_cast<std::size_t>(index)];
        c.m_Rows.push_back(WordTableRow(rec));
        ++c.m_nClassCounts[static_cast<std::size_t>(c.m_Rows.back().m_nClass)];
        if (!numbers.empty()) numbers += "、";
        numbers += c.m_Rows.back().m_Cells[0];
    }
    const int n = static_cast<int>(c.m_Piles.size());

    c.m_strReportNo = info.m_strReportNo;
    c.m_strProjectName = info.m_strProjectName;
    c.m_strClient = info.m_strClient;
    c.m_strTestDate = ReportDateText(info.m_TestDate);
    c.m_strTestUnit = info.m_strTestUnit;
    c.m_strOwner = info.m_strOwner;
    c.m_strConstructionUnit = info.m_strConstructionUnit;
    c.m_strDesignUnit = info.m_strDesignUnit;
    c.m_strSupervisionUnit = info.m_strSupervisionUnit;
    c.m_strQualityUnit = info.m_strQualityUnit;
    c.m_strAddress = info.m_strAddress;

    c.m_strParagraphs[0] = "该工程由" + info.m_strConstructionUnit + "承建，位于" + info.m_strAddress +
                           "。该工程桩基础全部为" + info.m_strPileType + "，共计" + Format("%d", projectPiles) +
                           "根，设计桩径为" + Format("%d", info.m_nDiameter) + "mm" +
                           // Without a pouring date the clause goes rather than read "于浇注".
                           (info.m_PourDate.IsValid() ? "，于" + ReportDateText(info.m_PourDate) + "浇注" : "") +
                           "。混凝土的设计强度等级为" + info.m_strStrength + "。";
    c.m_strParagraphs[1] = "    受委托单位" + info.m_strClient +
                           "的委托，对该工程基础桩的桩身完整性进行了检测，受检桩编号为" + numbers + "，共" +
                           Format("%d", n) + "根。";
    c.m_strParagraphs[2] = "    " + Trim(info.m_strGeology);
    c.m_strSiteSpeed = SiteSpeedSentence(ComputeSiteSpeed(piles, c.m_Piles));

    c.m_strSummary = Format("该工程%d根桩基质量测试结果综合如下：", n);
    static const char* const kLines[kIntegrityClassCount] = {
        "1）完好桩（Ⅰ类）：%d根，占所测桩的%0.1f%%；",
        "2）一般类桩/缺陷桩（Ⅱ/Ⅲ类）：%d根，占所测桩的%0.1f%%；",
        "3）严重缺陷桩（Ⅳ类）：%d根，占所测桩的%0.1f%%；",
    };
    for (int k = 0; k < kIntegrityClassCount; ++k) {
        const int count = c.m_nClassCounts[static_cast<std::size_t>(k)];
        const double share = n > 0 ? static_cast<double>(count) / n * 100.0 : 0.0;
        c.m_strClassLines[static_cast<std::size_t>(k)] = Format(kLines[k], count, share);
    }
    // Without the site's total the sampling rule stays unchecked; the report information will carry it.
    // No reported pile gives no paragraph (an empty list would ask CheckData for every record).
    if (!c.m_Piles.empty()) c.m_strDataQuality = DataQualityParagraph(CheckData(piles, c.m_Piles));
    c.m_strInspectors = info.m_strInspectors;
    c.m_strToday = ReportDateText(today);
    return c;
}

void PrefillReportInfo(CReportInfo& info, const CProjectHeader& header, const CPileRecord& current, int pileCount) {
    info.m_strProjectName = header.GetProjectName();
    info.m_strTestUnit = header.GetTestUnit();
    info.m_strPileType = ReportPileTypeName(current.m_nPileType);
    info.m_PourDate = info.m_TestDate = DateOfPile(current).value_or(kNoDate);
    info.m_nTotalPiles = pileCount;
    info.m_nDiameter = current.m_nDiameter;
}

} // namespace pw
