// pilewave-cli report: the inspection report of the ticked piles (or of the piles named), from the
// same content the window writes; its pictures make it a verb of the drawing program.
#include <cstdio>
#include <ctime>
#include <fstream>

#include <nlohmann/json.hpp>

#include "cli/CConsoleProgress.h"
#include "cli/CliCommands.h"
#include "cli/CliText.h"
#include "cli/CliLoad.h"
#include "cli/ReportCommands.h"
#include "core/CoreMessages.h"
#include "core/DataFiles.h"
#include "core/ReportContent.h"
#include "report/WordReport.h"

namespace pw::cli {
namespace {

using nlohmann::ordered_json;

bool ReadDate(const ordered_json& j, const char* key, CDate& out) {
    if (!j.contains(key)) return true;
    int y = 0, m = 0, d = 0;
    const std::string text = j[key].get<std::string>();
    if (std::sscanf(text.c_str(), "%d-%d-%d", &y, &m, &d) != 3) return false;
    out = CDate{y, m, d};
    return out.IsValid();
}

// The report information: the project's values first, as the window pre-fills its dialog, then
// whatever INFO.json gives. Keys are listed in the README.
CReportInfo ReadInfo(const std::string& infoPath, const CProjectData& data) {
    CReportInfo info;
    if (!data.m_Piles.empty())
        PrefillReportInfo(info, data.m_Header, data.m_Piles.front(), static_cast<int>(data.m_Piles.size()));
    if (infoPath.empty()) return info;
    std::ifstream in(infoPath);
    ordered_json j = ordered_json::parse(in, nullptr, false);
    if (!in || j.is_discarded() || !j.is_object()) {
        std::fprintf(stderr, "%s: not a JSON object of report information\n", infoPath.c_str());
        Exit(1);
    }
    const std::pair<const char*, std::string*> texts[] = {
        {"report_no", &info.m_strReportNo},
        {"address", &info.m_strAddress},
        {"owner", &info.m_strOwner},
        {"project_name", &info.m_strProjectName},
        {"design_unit", &info.m_strDesignUnit},
        {"supervision_unit", &info.m_strSupervisionUnit},
        {"construction_unit", &info.m_strConstructionUnit},
        {"quality_unit", &info.m_strQualityUnit},
        {"client", &info.m_strClient},
        {"strength", &info.m_strStrength},
        {"pile_type", &info.m_strPileType},
        {"test_unit", &info.m_strTestUnit},
        {"inspectors", &info.m_strInspectors},
        {"geology", &info.m_strGeology},
        {"survey_unit", &info.m_strSurveyUnit},
        {"standard", &info.m_strStandard},
        {"method", &info.m_strMethod},
        {"instrument", &info.m_strInstrument},
        {"instrument_no", &info.m_strInstrumentNo},
        {"sensor", &info.m_strSensor},
        {"reviewer", &info.m_strReviewer},
        {"review_date", &info.m_strReviewDate},
        {"approver", &info.m_strApprover},
        {"approve_date", &info.m_strApproveDate},
    };
    try {
        for (const auto& [key, field] : texts)
            if (j.contains(key)) *field = j[key].get<std::string>();
        if (j.contains("total_piles")) info.m_nTotalPiles = j["total_piles"].get<int>();
        if (j.contains("diameter")) info.m_nDiameter = j["diameter"].get<int>();
        if (j.contains("site_total")) info.m_nSiteTotal = j["site_total"].get<int>();
        if (!ReadDate(j, "pour_date", info.m_PourDate) || !ReadDate(j, "test_date", info.m_TestDate)) {
            std::fprintf(stderr, "%s: dates are written YYYY-MM-DD\n", infoPath.c_str());
            Exit(1);
        }
    } catch (const nlohmann::json::exception& e) {
        std::fprintf(stderr, "%s: %s\n", infoPath.c_str(), e.what());
        Exit(1);
    }
    return info;
}

void WriteReportOrExit(const std::string& out, const std::string& templ, const CReportContent& content,
                       std::vector<CPileRecord>& piles, const std::string& layout) {
    if (out.empty()) {
        std::fprintf(stderr, "report: give -o OUT.docx, or --json\n");
        Exit(2);
    }
    // With no pile reported the shares would divide by zero: refused, as in the window.
    if (content.m_Piles.empty()) {
        std::fprintf(stderr, "%s (no pile is ticked or named)\n", msg::kNothingChecked);
        Exit(1);
    }
    const std::string templatePath = templ.empty() ? FindDataFile("report-template.docx") : templ;
    CConsoleProgress progress;
    const CResult written =
        report::WriteWordReport(templatePath, out, content, MakePictureSource(piles, layout), &progress);
    if (written.Cancelled()) {
        std::fprintf(stderr, "%s: 已取消，未写文件 (cancelled, nothing written)\n", out.c_str());
        Exit(1);
    }
    if (!written.Ok()) {
        std::fprintf(stderr, "%s: 生成报告失败：%s\n", out.c_str(), written.CliText().c_str());
        Exit(1);
    }
}

void PrintContent(const CReportContent& c) {
    ordered_json j;
    ordered_json rows = ordered_json::array();
    for (const CReportRow& r : c.m_Rows)
        rows.push_back({{"pile_no", r.m_Cells[0]},
                        {"diameter_mm", r.m_Cells[1]},
                        {"length_m", r.m_Cells[2]},
                        {"speed_m_s", r.m_Cells[3]},
                        {"class", r.m_Cells[4]},
                        {"defects", r.m_Cells[5]}});
    j["piles"] = c.m_Rows.size();
    j["rows"] = std::move(rows);
    j["class_counts"] = {{"Ⅰ", c.m_nClassCounts[0]},
                         {"Ⅱ", c.m_nClassCounts[1]},
                         {"Ⅲ", c.m_nClassCounts[2]},
                         {"Ⅳ", c.m_nClassCounts[3]},
                         {"Ⅱ/Ⅲ", c.m_nClassCounts[4]}};
    j["summary"] = c.m_strSummary;
    j["class_lines"] = c.m_strClassLines;
    j["left_out"] = c.m_strLeftOut;
    j["paragraphs"] = c.m_strParagraphs;
    j["site_speed"] = c.m_strSiteSpeed;
    j["method"] = {{"standard", c.m_strStandard}, {"method", c.m_strMethod}, {"instrument", c.m_strInstrument},
                   {"sensor", c.m_strSensor},     {"sampling", c.m_strSampling}, {"filters", c.m_strFilters}};
    j["conclusions"] = c.m_strConclusions;
    j["sign_off"] = {{"inspectors", c.m_strInspectors}, {"date", c.m_strToday},
                     {"reviewer", c.m_strReviewer},     {"review_date", c.m_strReviewDate},
                     {"approver", c.m_strApprover},     {"approve_date", c.m_strApproveDate}};
    j["cover"] = {{"report_no", c.m_strReportNo}, {"project_name", c.m_strProjectName}, {"client", c.m_strClient},
                  {"test_date", c.m_strTestDate}, {"test_unit", c.m_strTestUnit}};
    j["today"] = c.m_strToday;
    const std::string text = j.dump(2, ' ', false, ordered_json::error_handler_t::replace);
    std::printf("%s\n", text.c_str());
}

} // namespace

void AddReportCommands(CLI::App& app) {
    {
        auto* cmd = app.add_subcommand("report", "The inspection report of the reported piles as a .docx");
        auto path = std::make_shared<std::string>();
        auto out = std::make_shared<std::string>();
        auto info = std::make_shared<std::string>();
        auto templ = std::make_shared<std::string>();
        auto layout = std::make_shared<std::string>("single");
        auto json = std::make_shared<bool>(false);
        auto choice = std::make_shared<CPileChoice>();
        cmd->add_option("PATH", *path, "project file, tester folder, or a file inside one")->required();
        auto* piles = cmd->add_option("--piles", choice->m_strPiles, "report these piles (numbers such as 1,3)");
        cmd->add_flag("--checked", choice->m_bChecked, "report the ticked piles (the default)")->excludes(piles);
        cmd->add_option("--info", *info, "report information as JSON (keys in the README)");
        cmd->add_option("--template", *templ, "the report template (default: the installed report-template.docx)");
        cmd->add_option("--layout", *layout, "the pictures: single, amplitude or power")
            ->check(CLI::IsMember({"single", "amplitude", "power"}));
        auto* jsonFlag = cmd->add_flag("--json", *json, "print the report's content instead of writing a file");
        cmd->add_option("-o,--output", *out, "the .docx to write")->excludes(jsonFlag);
        cmd->callback([=] {
            CLoaded loaded = LoadWithTicks(*path, *choice);
            const CReportInfo reportInfo = ReadInfo(*info, loaded.m_Data);
            // The current pile (the first) gives the dates; without one they stay empty, and we say so.
            if (!loaded.m_Data.m_Piles.empty() && !DateOfPile(loaded.m_Data.m_Piles.front()) &&
                (!reportInfo.m_TestDate.IsValid() || !reportInfo.m_PourDate.IsValid()))
                std::fprintf(stderr, "%s: note: %s (the current pile has no valid test date; give test_date and "
                                     "pour_date in --info)\n",
                             path->c_str(), msg::kPileHasNoDate);
            // What the window asks about before writing: printed here, and the report is written anyway.
            for (const std::string& w : ReportWarnings(loaded.m_Data.m_Piles, reportInfo))
                std::fprintf(stderr, "%s: warning: %s\n", path->c_str(), w.c_str());
            const CReportContent content = MakeReportContent(loaded.m_Data.m_Piles, reportInfo, Today());
            if (*json) {
                PrintContent(content);
                return;
            }
            WriteReportOrExit(*out, *templ, content, loaded.m_Data.m_Piles, *layout);
            std::printf("wrote %s (%zu piles)\n", out->c_str(), content.m_Piles.size());
        });
    }
}

} // namespace pw::cli
