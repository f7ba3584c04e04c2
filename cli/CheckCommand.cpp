// pilewave-cli check: the data checked against the low-strain rules before a report, by pile, then
// the site. Exit status 0 whenever the data could be read, whatever was found.
#include <algorithm>
#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/CliCommands.h"
#include "cli/CliText.h"
#include "cli/CliLoad.h"
#include "core/CoreMessages.h"
#include "core/DataChecks.h"

namespace pw::cli {
namespace {

using nlohmann::ordered_json;

const char* LevelName(CheckLevel level) { return level == CheckLevel::kWarning ? "warning" : "info"; }

ordered_json FindingJson(const CCheckFinding& f) {
    ordered_json figures = ordered_json::object();
    for (const CCheckFigure& g : f.m_Figures)
        figures[g.m_szName] = g.m_fValue;
    return {{"code", CheckCodeName(f.m_nCode)},
            {"level", LevelName(f.m_nLevel)},
            {"record", f.m_nRecord >= 0 ? ordered_json(f.m_nRecord + 1) : ordered_json(nullptr)},
            {"figures", std::move(figures)},
            {"text", f.m_strText}};
}

template <class T> ordered_json OrNull(const std::optional<T>& v) { return v ? ordered_json(*v) : ordered_json(nullptr); }

void PrintJson(const CDataChecks& r) {
    ordered_json piles = ordered_json::array();
    for (const CPileCheck& p : r.m_Piles) {
        ordered_json records = ordered_json::array(), findings = ordered_json::array();
        for (int index : p.m_Records)
            records.push_back(index + 1);
        for (const CCheckFinding& f : p.m_Findings)
            findings.push_back(FindingJson(f));
        piles.push_back({{"name", p.m_strName},
                         {"records", std::move(records)},
                         {"valid_signals", p.m_nValidSignals},
                         {"class", PileClassText(p.m_nClass)},
                         {"findings", std::move(findings)}});
    }
    const CSiteCheck& s = r.m_Site;
    ordered_json siteFindings = ordered_json::array();
    for (const CCheckFinding& f : s.m_Findings)
        siteFindings.push_back(FindingJson(f));
    ordered_json j;
    j["piles"] = std::move(piles);
    j["site"] = {{"piles", s.m_nPiles},
                 {"records", s.m_nRecords},
                 {"piles_with_enough_signals", s.m_nPilesWithEnoughSignals},
                 {"total", OrNull(s.m_nTotal)},
                 {"required", s.m_nTotal ? ordered_json(s.m_nRequired) : ordered_json(nullptr)},
                 {"enough", OrNull(s.m_bEnough)},
                 {"class_counts", ClassCountsJson(s.m_nClassCounts)},
                 {"site_speed", s.m_bHasSpeed ? ordered_json(s.m_nSiteSpeed) : ordered_json(nullptr)},
                 {"site_speed_piles", s.m_nSpeedPiles},
                 {"findings", std::move(siteFindings)},
                 {"lines", s.m_strLines}};
    j["warnings"] = r.CountFindings(CheckLevel::kWarning);
    j["information"] = r.CountFindings(CheckLevel::kInfo);
    j["quality_paragraph"] = DataQualityParagraph(r);
    std::printf("%s\n", j.dump(2, ' ', false, ordered_json::error_handler_t::replace).c_str());
}

void PrintPlain(const CDataChecks& r) {
    std::printf("%s %7s %5s  %s findings\n", PadColumns("pile", 12).c_str(), "records", "valid", PadColumns("class", 5).c_str());
    for (const CPileCheck& p : r.m_Piles) {
        int warnings = 0, notes = 0;
        for (const CCheckFinding& f : p.m_Findings)
            (f.m_nLevel == CheckLevel::kWarning ? warnings : notes) += 1;
        std::printf("%s %7zu %5d  %s %s\n", PadColumns(p.m_strName.empty() ? msg::kCheckUnnamedPile : p.m_strName, 12).c_str(),
                    p.m_Records.size(), p.m_nValidSignals, PadColumns(PileClassText(p.m_nClass), 5).c_str(),
                    p.m_Findings.empty() ? "none"
                                         : (std::to_string(warnings) + " warning(s), " + std::to_string(notes) +
                                            " information")
                                               .c_str());
        for (const CCheckFinding& f : p.m_Findings) {
            char record[32] = "pile";
            if (f.m_nRecord >= 0) std::snprintf(record, sizeof record, "record %d", f.m_nRecord + 1);
            std::printf("    %-7s %-10s %s (%s)\n", LevelName(f.m_nLevel), record, f.m_strText.c_str(),
                        CheckCodeName(f.m_nCode));
        }
    }
    std::printf("site:\n");
    for (const std::string& line : r.m_Site.m_strLines)
        std::printf("    %s\n", line.c_str());
    std::printf("warnings: %d; information: %d\n", r.CountFindings(CheckLevel::kWarning),
                r.CountFindings(CheckLevel::kInfo));
    std::printf("%s\n", msg::kCheckBasis);
}

} // namespace

void AddCheckCommand(CLI::App& app) {
    auto* cmd = app.add_subcommand("check", "Check the data against the low-strain rules (record length, frequency "
                                            "range, clipping, drift, signals per pile, piles of the site)");
    const auto scope = AddRecordScope(*cmd);
    auto total = std::make_shared<int>(0);
    auto json = std::make_shared<bool>(false);
    auto* totalOption = cmd->add_option("--total", *total, "the site's total number of piles (the sampling rule)");
    totalOption->check(CLI::PositiveNumber);
    cmd->add_flag("--json", *json, "print the result as JSON");
    cmd->callback([=] {
        CLoaded loaded;
        const std::vector<int> indices = LoadScope(*scope, loaded);
        const std::optional<int> siteTotal = totalOption->count() > 0 ? std::optional<int>(*total) : std::nullopt;
        const CDataChecks r = CheckData(loaded.m_Data.m_Piles, indices, siteTotal);
        if (*json)
            PrintJson(r);
        else
            PrintPlain(r);
    });
}

} // namespace pw::cli
