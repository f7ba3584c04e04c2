// What the inspection report and the results table say, without any file format: which piles are
// reported and in what order, each pile's integrity class, the table rows (the Word table and the
// sheet differ in small ways), the class statistics, the three paragraphs and the dated fields.
// The .docx and .xlsx writers and the CLI's JSON all take their texts from here. Texts are UTF-8.
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "core/CDate.h"
#include "core/CPileRecord.h"
#include "core/CProjectHeader.h"
#include "core/ReportSettings.h"

namespace pw {

// Integrity classes: 0 "Ⅰ" intact, 1 "Ⅱ/Ⅲ" ordinary or defective, 2 "Ⅳ" seriously defective.
inline constexpr int kIntegrityClassCount = 3;
// 断桩 gives 2; 缩径, 裂纹, 夹泥 or 离析 give 1; 扩径, 扩底 and no defect leave 0. Only the defects in
// use (before the terminator) count.
int IntegrityClass(const CPileRecord& rec);
const char* IntegrityClassText(int integrityClass);

// The classes a report states, one per pile: Ⅰ intact, Ⅱ slight, Ⅲ obvious, Ⅳ serious defect, and
// "Ⅱ/Ⅲ" for a pile the rule cannot place between Ⅱ and Ⅲ and the engineer has not decided yet.
enum PileClass : int { kClassI = 1, kClassII = 2, kClassIII = 3, kClassIV = 4, kClassUndecided = 5 };
inline constexpr int kPileClassCount = 5; // Ⅰ, Ⅱ, Ⅲ, Ⅳ, undecided
// The defect rule: 断桩 -> Ⅳ; 缩径, 裂纹, 夹泥 or 离析 -> undecided; else Ⅰ.
int RuleClass(const CPileRecord& rec);
// The engineer's decision when there is one, else the rule.
int PileClassOf(const CPileRecord& rec);
const char* PileClassText(int pileClass); // "Ⅰ".."Ⅳ", "Ⅱ/Ⅲ"
// The worse of two pile classes, for a pile recorded with several blows: Ⅰ, Ⅱ, then the undecided
// "Ⅱ/Ⅲ" (at least Ⅱ), Ⅲ, Ⅳ.
int WorsePileClass(int a, int b);
// "rule" -> 0, "I" .. "IV" (or Ⅰ .. Ⅳ, or 1 .. 4) -> 1 .. 4; -1 for anything else.
int ParseClassDecision(std::string_view text);

// The name of a pile-type code for the report: a code outside 0-7 takes entry 0.
const char* ReportPileTypeName(int code);

// "%04d年%d月%d日"; "" for a date that is not a calendar date (the report leaves it empty).
std::string ReportDateText(const CDate& date);
// A pile's date text read as year = characters 1-4, month = 6-7, day = 9-10 ("2004-05-17");
// nothing when that makes no calendar date (an empty or damaged date text).
std::optional<CDate> DateOfPile(const CPileRecord& rec);

// Indices into piles of the ticked piles, in ascending order of their trimmed pile-number texts
// compared byte by byte; equal texts keep list order.
std::vector<int> TickedPilesInNameOrder(const std::vector<CPileRecord>& piles);

// Natural order of pile numbers: runs of digits compare by their value ("A-2" < "A-12", "2#" <
// "10#"), everything else byte by byte; equal values with more leading zeros come after.
bool NaturalPileLess(const std::string& a, const std::string& b);

// The piles a report covers: the ticked records, one per trimmed pile number (the last ticked one in
// list order), in natural order of their numbers. m_LeftOut holds the ticked records not taken.
struct CReportedPiles {
    std::vector<int> m_Piles;   // indices into the records, report order
    std::vector<int> m_LeftOut; // indices into the records, list order
};
CReportedPiles ReportedPiles(const std::vector<CPileRecord>& piles);

// One row of the results table: pile number, design diameter, length, speed, class, defects.
struct CReportRow {
    std::array<std::string, 6> m_Cells;
    int m_nClass = 0;
};

// The Word table: header "桩长\n(m)" (the metres are labelled as metres), the pile number trimmed,
// one line "(%d) 深度%0.1fm  %s\n" per defect.
std::array<std::string, 6> WordTableHeader();
CReportRow WordTableRow(const CPileRecord& rec);
// The sheet: header "桩长(m)", the pile number as stored, pieces "(%d)深度%0.1fm %s  " on one line.
std::array<std::string, 6> SheetHeader();
CReportRow SheetRow(const CPileRecord& rec);

struct CReportContent {
    std::vector<int> m_Piles; // indices of the reported piles (one record per pile), in report order
    std::vector<int> m_LeftOut; // ticked records of a pile already reported by another record
    std::vector<CReportRow> m_Rows;
    std::array<int, kPileClassCount> m_nClassCounts{}; // Ⅰ, Ⅱ, Ⅲ, Ⅳ, undecided Ⅱ/Ⅲ

    // Cover page.
    std::string m_strReportNo, m_strProjectName, m_strClient, m_strTestDate, m_strTestUnit;
    // Project page.
    std::string m_strOwner, m_strConstructionUnit, m_strDesignUnit, m_strSupervisionUnit, m_strQualityUnit,
        m_strAddress, m_strSurveyUnit;
    // How the test was made: the standard, the method, the instrument with its number, the sensor,
    // sampling interval and record length and the filters of the reported records (their ranges).
    std::string m_strStandard, m_strMethod, m_strInstrument, m_strSensor, m_strSampling, m_strFilters;
    std::array<std::string, 3> m_strParagraphs;
    std::string m_strSiteSpeed; // the site's mean wave speed sentence, when one is known ("" otherwise)
    // "该工程%d根桩基质量测试结果综合如下：", one line per class Ⅰ..Ⅳ and one for the undecided piles
    // ("" when there are none), and the sentence naming the ticked records left out ("" when none).
    std::string m_strSummary;
    std::array<std::string, kPileClassCount> m_strClassLines;
    std::string m_strLeftOut;
    // Conclusions: the class counts and the class Ⅲ and Ⅳ piles with their defects, one line each.
    std::string m_strConclusions;
    // Sign-off: 检测, 审核, 批准 with their dates (today for the test; as typed for the others).
    std::string m_strInspectors, m_strToday, m_strReviewer, m_strReviewDate, m_strApprover, m_strApproveDate;
    // The data checks of the reported piles in one short paragraph; "" when they found nothing.
    std::string m_strDataQuality;
};

// What the user should see before a report is written: fields left empty or at their defaults,
// piles whose class is still undecided, piles with more than one ticked record. One sentence each;
// empty when there is nothing to say.
std::vector<std::string> ReportWarnings(const std::vector<CPileRecord>& piles, const CReportInfo& info);

// The report of the ticked piles. info holds what the report dialog confirmed. Paragraph 1 counts the
// site's total when the dialog gives one, else the project's distinct pile numbers. Needs at least
// one ticked pile: with none the shares have nothing to divide by, and the caller refuses before it
// gets here (m_Piles stays empty).
CReportContent MakeReportContent(const std::vector<CPileRecord>& piles, const CReportInfo& info, const CDate& today);

// The report dialog's values taken from the project before the dialog opens: project name and
// inspection unit from the header; pile type, pouring and test date and diameter from the current
// pile; the total number of piles. A pile without a date leaves both dates empty (kNoDate): the
// caller says so before the report is written.
void PrefillReportInfo(CReportInfo& info, const CProjectHeader& header, const CPileRecord& current, int pileCount);

} // namespace pw
