// The report information the report dialog edits, and the part of it kept between runs in the
// report settings file "ReportSet<n>.ini" (4042 bytes, little-endian):
//    0 marker [30]  "RURERARER_WVF_REPORT", NUL, rest zero
//   30 report number [200]          830 construction unit [200]     1630 inspectors [200]
//  230 project address [200]       1030 supervision unit [200]      1830 strength grade [200]
//  430 owner [200]                 1230 quality supervision [200]   2030 geology [2000]
//  630 design unit [200]           1430 commissioning client [200]  4030 pouring year, month, day i32
// Texts are GBK, NUL-terminated inside their block (at most block - 1 bytes), zero-padded.
// That layout stays as it is; what the report states beyond it (the standard, the instrument, the
// sign-off, the site total) is kept beside it in "ReportSet<n>.more.ini", UTF-8 lines "key=value".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/CByteSource.h"
#include "core/CDate.h"
#include "core/CResult.h"

namespace pw {

inline constexpr std::size_t kReportSettingsSize = 4042;
inline constexpr const char* kReportMarker = "RURERARER_WVF_REPORT";
inline constexpr int kReportSettingsSlots = 100; // ReportSet0.ini .. ReportSet99.ini

// The stored part, as it lies in the file.
struct CReportSettings {
    char m_szReportNo[200] = {};
    char m_szAddress[200] = {};
    char m_szOwner[200] = {};
    char m_szDesignUnit[200] = {};
    char m_szConstructionUnit[200] = {};
    char m_szSupervisionUnit[200] = {};
    char m_szQualityUnit[200] = {};
    char m_szClient[200] = {};
    char m_szInspectors[200] = {};
    char m_szStrength[200] = {};
    char m_szGeology[2000] = {};
    int32_t m_nPourYear = 1970;
    int32_t m_nPourMonth = 1;
    int32_t m_nPourDay = 1;
};

// Every field of the report dialog (UTF-8), with the dialog's defaults.
struct CReportInfo {
    std::string m_strReportNo, m_strAddress, m_strOwner, m_strProjectName, m_strDesignUnit,
        m_strSupervisionUnit, m_strConstructionUnit, m_strQualityUnit, m_strClient;
    std::string m_strStrength = "C10";
    CDate m_PourDate;
    std::string m_strPileType = "沉管灌注桩";
    CDate m_TestDate;
    std::string m_strTestUnit = "QLVR";
    std::string m_strInspectors;
    int m_nTotalPiles = 0;
    int m_nDiameter = 0;
    std::string m_strGeology = "    ";
    // Kept beside the record (ReportSet<n>.more.ini).
    std::string m_strSurveyUnit;                                   // 勘察单位
    std::string m_strStandard = "《建筑基桩检测技术规范》JGJ 106-2014"; // the standard the test follows
    std::string m_strMethod = "低应变反射波法";
    std::string m_strInstrument, m_strInstrumentNo, m_strSensor;  // model, its number, the sensor
    std::string m_strReviewer, m_strApprover;                     // 审核, 批准 (检测 is m_strInspectors)
    std::string m_strReviewDate, m_strApproveDate;                // as typed; empty leaves room to write
    int m_nSiteTotal = 0; // piles on the whole site as typed; 0 = not given

    // The number of piles the site has when the user typed one (the report's paragraph 1 and the
    // data checks use it instead of the count of pile numbers in the project).
    std::optional<int> SiteTotalPiles() const {
        return m_nSiteTotal > 0 ? std::optional<int>(m_nSiteTotal) : std::nullopt;
    }

    // The stored part; texts are cut to their block at a character boundary. An empty (invalid)
    // pouring date leaves the record's default date.
    CReportSettings ToSettings() const;
    // Takes the stored part; the other fields stay. A pouring date that is not a date stays too.
    void TakeSettings(const CReportSettings& s);
};

// Reads as far as the data goes; every field the data does not hold whole keeps its default (a text
// cut short keeps what is there). Returns false, with out untouched, when the data does not start
// with the marker.
bool ReadReportSettings(CByteSource& src, CReportSettings& out);
bool WriteReportSettings(CByteSink& sink, const CReportSettings& s);

// <folder>/ReportSet<n>.ini
std::string ReportSettingsPath(const std::string& folder, int n);
// <folder>/ReportSet<n>.more.ini, and its text: the fields kept beside the record.
std::string ReportMorePath(const std::string& folder, int n);
std::string ReportMoreText(const CReportInfo& info);
// Takes every known key of the text; unknown keys and lines without "=" are skipped.
void TakeReportMoreText(const std::string& text, CReportInfo& info);

// The file a report dialog uses: the first number whose file is missing or carries the marker.
// A file without the marker belongs to someone else and is never written over. -1 when none of
// the hundred numbers is free.
int FindReportSettingsSlot(const std::string& folder);

// The message to show on a failure is "读设置文件失败！" or "写设置文件失败！"; the detail what the
// system said.
struct CReportSettingsResult : CResult {
    std::string m_strPath; // the file read or written
};

// Opening the report dialog: reads the settings file into info. When the free slot has no file yet,
// info keeps what it holds and nothing is written: the file is made by the first save.
CReportSettingsResult LoadReportSettings(const std::string& folder, CReportInfo& info);
// OK of the report dialog: writes the stored part of info, atomically, into the same slot. An empty
// pouring date keeps the date the file already holds: 0/0/0 is never stored.
CReportSettingsResult SaveReportSettings(const std::string& folder, const CReportInfo& info);

} // namespace pw
