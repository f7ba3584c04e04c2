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
#include "core/TextFormat.h"

namespace pw {
namespace {

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
    row.m_nClass = PileClassOf(rec);
    row.m_Cells[1] = Format("%d", rec.m_nDiameter);
    row.m_Cells[2] = Format("%0.2f", static_cast<double>(rec.m_fPileLength));
    row.m_Cells[3] = Format("%d", rec.m_nWaveSpeed);
    row.m_Cells[4] = PileClassText(row.m_nClass);
    return row;
}

std::string NameOf(const CPileRecord& rec) { return GbkToUtf8(TrimmedPileName(rec)); }

// "a" or "a～b" of the values, formatted; "" when there are none.
std::string Range(std::vector<double> values, const char* format) {
    if (values.empty()) return {};
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    const std::string a = Format(format, *lo), b = Format(format, *hi);
    return a == b ? a : a + "～" + b;
}

// The defects of a pile as the conclusions name them: "深度3.5m 断桩、深度6.0m 缩径".
std::string DefectList(const CPileRecord& rec) {
    std::string out;
    for (int i = 0, n = UsedDefects(rec); i < n; ++i) {
        if (!out.empty()) out += "、";
        out += Format("深度%0.1fm %s", static_cast<double>(rec.m_Defects[i].fDepth), DefectTypeText(rec.m_Defects[i].nType));
    }
    return out;
}

bool Blank(const std::string& s) { return s.find_first_not_of(" \t\r\n") == std::string::npos; }

} // namespace

bool NaturalPileLess(const std::string& a, const std::string& b) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0, j = 0;
    int zerosTie = 0; // more leading zeros sort later among equal values ("7" < "007")
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            std::size_t ie = i, je = j;
            while (ie < a.size() && digit(a[ie])) ++ie;
            while (je < b.size() && digit(b[je])) ++je;
            std::size_t is = i, js = j;
            while (is + 1 < ie && a[is] == '0') ++is;
            while (js + 1 < je && b[js] == '0') ++js;
            if (ie - is != je - js) return ie - is < je - js;
            const int c = a.compare(is, ie - is, b, js, je - js);
            if (c != 0) return c < 0;
            if (zerosTie == 0 && (is - i) != (js - j)) zerosTie = (is - i) < (js - j) ? -1 : 1;
            i = ie;
            j = je;
            continue;
        }
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[j]);
        if (ca != cb) return ca < cb;
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j)) return a.size() - i < b.size() - j;
    return zerosTie < 0;
}

CReportedPiles ReportedPiles(const std::vector<CPileRecord>& piles) {
    CReportedPiles out;
    std::vector<std::pair<std::string, int>> last; // trimmed name -> the last ticked record, first-seen order
    for (std::size_t i = 0; i < piles.size(); ++i) {
        if (!piles[i].m_bChecked) continue;
        const std::string name = TrimmedPileName(piles[i]);
        auto it = std::find_if(last.begin(), last.end(), [&](const auto& e) { return e.first == name; });
        if (it == last.end())
            last.emplace_back(name, static_cast<int>(i));
        else {
            out.m_LeftOut.push_back(it->second);
            it->second = static_cast<int>(i);
        }
    }
    std::sort(out.m_LeftOut.begin(), out.m_LeftOut.end());
    std::stable_sort(last.begin(), last.end(), [](const auto& a, const auto& b) { return NaturalPileLess(a.first, b.first); });
    for (const auto& e : last) out.m_Piles.push_back(e.second);
    return out;
}

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

int RuleClass(const CPileRecord& rec) {
    static const int kFromRule[kIntegrityClassCount] = {kClassI, kClassUndecided, kClassIV};
    return kFromRule[IntegrityClass(rec)];
}

int PileClassOf(const CPileRecord& rec) {
    return rec.m_nClassDecision >= kClassI && rec.m_nClassDecision <= kClassIV ? rec.m_nClassDecision : RuleClass(rec);
}

const char* PileClassText(int pileClass) {
    static const char* const kTexts[] = {"Ⅰ", "Ⅱ", "Ⅲ", "Ⅳ", "Ⅱ/Ⅲ"};
    return pileClass >= kClassI && pileClass <= kClassUndecided ? kTexts[pileClass - 1] : kTexts[0];
}

int WorsePileClass(int a, int b) {
    const auto severity = [](int c) { return c == kClassUndecided ? 2 * kClassII + 1 : 2 * c; };
    return severity(a) >= severity(b) ? a : b;
}

int ParseClassDecision(std::string_view text) {
    static const char* const kNames[][4] = {{"rule", "RULE", "0", "规则"},
                                            {"I", "Ⅰ", "1", "i"},
                                            {"II", "Ⅱ", "2", "ii"},
                                            {"III", "Ⅲ", "3", "iii"},
                                            {"IV", "Ⅳ", "4", "iv"}};
    for (int k = 0; k < 5; ++k)
        for (const char* name : kNames[k])
            if (text == name) return k;
    return -1;
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

CReportContent MakeReportContent(const std::vector<CPileRecord>& piles, const CReportInfo& info, const CDate& today) {
    CReportContent c;
    const CReportedPiles reported = ReportedPiles(piles);
    c.m_Piles = reported.m_Piles;
    c.m_LeftOut = reported.m_LeftOut;
    std::string numbers;
    std::vector<int> types, diameters;
    std::vector<double> intervals, lowPass, highPass;
    bool lowOff = false, highOff = false;
    for (int index : c.m_Piles) {
        const CPileRecord& rec = piles[static_cast<std::size_t>(index)];
        c.m_Rows.push_back(WordTableRow(rec));
        ++c.m_nClassCounts[static_cast<std::size_t>(c.m_Rows.back().m_nClass - 1)];
        if (!numbers.empty()) numbers += "、";
        numbers += c.m_Rows.back().m_Cells[0];
        const int type = rec.m_nPileType >= 0 && rec.m_nPileType < kPileTypeCount ? rec.m_nPileType : 0;
        if (std::find(types.begin(), types.end(), type) == types.end()) types.push_back(type);
        if (std::find(diameters.begin(), diameters.end(), rec.m_nDiameter) == diameters.end())
            diameters.push_back(rec.m_nDiameter);
        if (rec.m_fSampleInterval > 0) intervals.push_back(rec.m_fSampleInterval);
        if (rec.m_fLowPass > 0) lowPass.push_back(rec.m_fLowPass);
        else lowOff = true;
        if (rec.m_fHighPass > 0) highPass.push_back(rec.m_fHighPass);
        else highOff = true;
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
    c.m_strSurveyUnit = info.m_strSurveyUnit;
    c.m_strStandard = info.m_strStandard;
    c.m_strMethod = info.m_strMethod;
    c.m_strInstrument = info.m_strInstrument + (Blank(info.m_strInstrumentNo) ? "" : "（编号：" + info.m_strInstrumentNo + "）");
    c.m_strSensor = info.m_strSensor;
    if (!intervals.empty()) {
        std::vector<double> spans;
        for (double dt : intervals) spans.push_back(dt * kSamples / 1000.0);
        c.m_strSampling = "采样间隔" + Range(intervals, "%g") + "μs，每条记录" + Format("%d", kSamples) + "点（" +
                          Range(spans, "%0.2f") + "ms）";
    }
    auto filter = [](const char* name, const std::vector<double>& used, bool off, const char* format, const char* unit) {
        if (used.empty()) return std::string(name) + "未用";
        return std::string(name) + Range(used, format) + unit + (off ? "（部分桩未用）" : "");
    };
    c.m_strFilters = filter("低通滤波", lowPass, lowOff, "%0.1f", "kHz") + "，" +
                     filter("高通滤波", highPass, highOff, "%0.0f", "Hz");

    // Paragraph 1 states what the reported piles are: a site of several types or diameters says so.
    std::string typeText = info.m_strPileType;
    if (types.size() > 1) {
        std::sort(types.begin(), types.end());
        typeText.clear();
        for (int t : types) typeText += (typeText.empty() ? "" : "、") + std::string(ReportPileTypeName(t));
    }
    std::string diameterText = Format("%d", info.m_nDiameter);
    if (diameters.size() > 1) {
        const auto [lo, hi] = std::minmax_element(diameters.begin(), diameters.end());
        diameterText = Format("%d～%d", *lo, *hi);
    }
    std::vector<std::string> names;
    for (const auto& p : piles) {
        const std::string name = TrimmedPileName(p);
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    const int sitePiles = info.SiteTotalPiles().value_or(static_cast<int>(names.size()));
    c.m_strParagraphs[0] = "该工程由" + info.m_strConstructionUnit + "承建，位于" + info.m_strAddress + "。该工程桩基础" +
                           (types.size() > 1 ? "为" : "全部为") + typeText + "，共计" + Format("%d", sitePiles) +
                           "根，设计桩径为" + diameterText + "mm" +
                           // Without a pouring date the clause goes rather than read "于浇注".
                           (info.m_PourDate.IsValid() ? "，于" + ReportDateText(info.m_PourDate) + "浇注" : "") +
                           "。混凝土的设计强度等级为" + info.m_strStrength + "。";
    c.m_strParagraphs[1] = "    受委托单位" + info.m_strClient +
                           "的委托，对该工程基础桩的桩身完整性进行了检测，受检桩编号为" + numbers + "，共" +
                           Format("%d", n) + "根。";
    c.m_strParagraphs[2] = "    " + Trim(info.m_strGeology);
    const std::string speed = SiteSpeedSentence(ComputeSiteSpeed(piles, c.m_Piles));
    c.m_strSiteSpeed = speed.empty() ? "" : "    " + speed;

    c.m_strSummary = Format("该工程%d根桩基质量测试结果综合如下：", n);
    static const char* const kLines[kPileClassCount] = {
        "1）Ⅰ类桩（桩身完整）：%d根，占所测桩的%0.1f%%；",
        "2）Ⅱ类桩（桩身有轻微缺陷）：%d根，占所测桩的%0.1f%%；",
        "3）Ⅲ类桩（桩身有明显缺陷）：%d根，占所测桩的%0.1f%%；",
        "4）Ⅳ类桩（桩身存在严重缺陷）：%d根，占所测桩的%0.1f%%；",
        "5）尚待判定为Ⅱ类或Ⅲ类的桩（表中记为Ⅱ/Ⅲ）：%d根，占所测桩的%0.1f%%。",
    };
    for (int k = 0; k < kPileClassCount; ++k) {
        const int count = c.m_nClassCounts[static_cast<std::size_t>(k)];
        const double share = n > 0 ? static_cast<double>(count) / n * 100.0 : 0.0;
        // The undecided line is there only while piles are undecided.
        if (k < kPileClassCount - 1 || count > 0) c.m_strClassLines[static_cast<std::size_t>(k)] = Format(kLines[k], count, share);
    }
    if (!c.m_LeftOut.empty()) {
        std::string left;
        for (int index : c.m_LeftOut) {
            const CPileRecord& rec = piles[static_cast<std::size_t>(index)];
            left += (left.empty() ? "" : "、") + NameOf(rec) + Format("（第%d条记录）", index + 1);
        }
        c.m_strLeftOut = "    同一桩号勾选了多条记录时，报告取列表中最后勾选的一条；未列入报告的记录：" + left + "。";
    }

    // Conclusions in our own words: the counts, then every pile of class Ⅲ or Ⅳ with its defects.
    std::string counts = Format("1. 本次检测桩%d根，其中Ⅰ类桩%d根，Ⅱ类桩%d根，Ⅲ类桩%d根，Ⅳ类桩%d根", n,
                                c.m_nClassCounts[0], c.m_nClassCounts[1], c.m_nClassCounts[2], c.m_nClassCounts[3]);
    if (c.m_nClassCounts[4] > 0) counts += Format("，尚待判定类别（Ⅱ/Ⅲ）的桩%d根", c.m_nClassCounts[4]);
    c.m_strConclusions = counts + "。\n";
    std::string serious;
    for (std::size_t k = 0; k < c.m_Piles.size(); ++k) {
        const int cls = c.m_Rows[k].m_nClass;
        if (cls != kClassIII && cls != kClassIV) continue;
        const CPileRecord& rec = piles[static_cast<std::size_t>(c.m_Piles[k])];
        const std::string defects = DefectList(rec);
        serious += (serious.empty() ? "" : "；") + c.m_Rows[k].m_Cells[0] + "（" + PileClassText(cls) + "类" +
                   (defects.empty() ? "" : "，" + defects) + "）";
    }
    if (serious.empty())
        c.m_strConclusions += "2. 受检桩中未见Ⅲ类、Ⅳ类桩。";
    else
        c.m_strConclusions += "2. Ⅲ类、Ⅳ类桩：" + serious + "。\n3. Ⅲ类、Ⅳ类桩宜由设计等有关单位研究处理。";

    // The data checks of the reported piles, the sampling rule against the site's total when one was typed.
    // No reported pile gives no paragraph (an empty list would ask CheckData for every record).
    if (!c.m_Piles.empty()) c.m_strDataQuality = DataQualityParagraph(CheckData(piles, c.m_Piles, info.SiteTotalPiles()));
    c.m_strInspectors = info.m_strInspectors;
    c.m_strToday = ReportDateText(today);
    c.m_strReviewer = info.m_strReviewer;
    // Dates not typed leave room to write them by hand at signing.
    const char* const kHandDate = "　　年　　月　　日";
    c.m_strReviewDate = Blank(info.m_strReviewDate) ? kHandDate : info.m_strReviewDate;
    c.m_strApprover = info.m_strApprover;
    c.m_strApproveDate = Blank(info.m_strApproveDate) ? kHandDate : info.m_strApproveDate;
    return c;
}

std::vector<std::string> ReportWarnings(const std::vector<CPileRecord>& piles, const CReportInfo& info) {
    std::vector<std::string> out;
    std::string empty;
    const std::pair<const char*, const std::string*> fields[] = {
        {"建设单位", &info.m_strOwner},      {"施工单位", &info.m_strConstructionUnit},
        {"工程地点", &info.m_strAddress},    {"委托单位", &info.m_strClient},
    };
    for (const auto& [name, value] : fields)
        if (Blank(*value)) empty += (empty.empty() ? "" : "、") + std::string(name);
    if (!empty.empty()) out.push_back("未填写：" + empty + "。");
    if (Blank(info.m_strStrength) || info.m_strStrength == CReportInfo{}.m_strStrength)
        out.push_back("混凝土设计强度等级" + (Blank(info.m_strStrength) ? std::string("未填写。") : "仍为默认值" + info.m_strStrength + "。"));
    if (info.m_PourDate.IsValid() && info.m_PourDate == info.m_TestDate)
        out.push_back("浇注日期与检测日期相同（" + ReportDateText(info.m_PourDate) + "）。");
    const CReportedPiles reported = ReportedPiles(piles);
    std::string undecided;
    for (int index : reported.m_Piles) {
        const CPileRecord& rec = piles[static_cast<std::size_t>(index)];
        if (PileClassOf(rec) == kClassUndecided) undecided += (undecided.empty() ? "" : "、") + NameOf(rec);
    }
    if (!undecided.empty()) out.push_back("以下桩尚未判定为Ⅱ类或Ⅲ类，报告中记为Ⅱ/Ⅲ：" + undecided + "。");
    std::string repeated;
    for (int index : reported.m_LeftOut)
        repeated += (repeated.empty() ? "" : "、") + NameOf(piles[static_cast<std::size_t>(index)]) +
                    Format("（第%d条记录）", index + 1);
    if (!repeated.empty()) out.push_back("同一桩号勾选了多条记录，报告只取列表中最后勾选的一条，不列入：" + repeated + "。");
    return out;
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
