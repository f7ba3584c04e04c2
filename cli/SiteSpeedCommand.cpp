// pilewave-cli site-speed: the site's mean wave speed from its intact piles, with the audit trail.
#include <cstdio>

#include <nlohmann/json.hpp>

#include "cli/CliCommands.h"
#include "cli/CliLoad.h"
#include "cli/CliText.h"
#include "core/ReportContent.h"
#include "core/SiteSpeed.h"

namespace pw::cli {
namespace {

using nlohmann::ordered_json;

void PrintJson(const CSiteSpeedResult& r) {
    ordered_json j;
    j["site_speed"] = r.m_bHasSpeed ? ordered_json(r.m_nSiteSpeed) : ordered_json(nullptr);
    j["mean"] = r.m_fMean;
    j["used"] = r.m_nUsed;
    j["rounds"] = r.m_nRounds;
    j["min"] = r.m_fMin;
    j["max"] = r.m_fMax;
    j["std_dev"] = r.m_fStdDev;
    j["verdict"] = r.m_strVerdict;
    j["class_counts"] = ClassCountsJson(r.m_nClassCounts);
    ordered_json piles = ordered_json::array();
    for (const CSpeedPile& p : r.m_Piles) {
        ordered_json records = ordered_json::array();
        for (int index : p.m_RecordIndices)
            records.push_back(index + 1);
        piles.push_back({{"name", p.m_strName},
                         {"piles", records},
                         {"speed", p.m_fSpeed},
                         {"class", PileClassText(p.m_nClass)},
                         {"candidate", p.m_bCandidate},
                         {"excluded_in_round", p.m_nExcludedInRound},
                         {"deviation_percent", r.m_bHasSpeed ? ordered_json(p.m_fDeviation) : ordered_json(nullptr)},
                         {"why", p.m_strWhy}});
    }
    j["piles"] = std::move(piles);
    std::printf("%s\n", j.dump(2, ' ', false, ordered_json::error_handler_t::replace).c_str());
}

void PrintPlain(const CSiteSpeedResult& r) {
    std::printf("%-12s %8s %6s %8s  %s\n", "pile", "c_m/s", "class", "dev_%", "used / why not");
    for (const CSpeedPile& p : r.m_Piles) {
        char dev[32] = "";
        if (r.m_bHasSpeed) std::snprintf(dev, sizeof dev, "%+.1f", p.m_fDeviation);
        std::printf("%-12s %8.0f %6s %8s  %s\n", p.m_strName.c_str(), p.m_fSpeed, PileClassText(p.m_nClass), dev,
                    p.m_strWhy.empty() ? "used" : p.m_strWhy.c_str());
    }
    std::printf("rounds of exclusion: %d; piles used: %d\n", r.m_nRounds, r.m_nUsed);
    if (r.m_nUsed > 0)
        std::printf("spread: min %.0f, max %.0f, standard deviation %.1f m/s\n", r.m_fMin, r.m_fMax, r.m_fStdDev);
    std::printf("classes of the piles asked about: Ⅰ %d, Ⅱ %d, Ⅲ %d, Ⅳ %d, undecided Ⅱ/Ⅲ %d\n", r.m_nClassCounts[0],
                r.m_nClassCounts[1], r.m_nClassCounts[2], r.m_nClassCounts[3], r.m_nClassCounts[4]);
    std::printf("%s\n", r.m_strVerdict.c_str());
}

} // namespace

void AddSiteSpeedCommand(CLI::App& app) {
    auto* cmd = app.add_subcommand("site-speed", "The site's mean wave speed from its intact piles (5 % rule, >= 5 piles)");
    const auto scope = AddRecordScope(*cmd);
    auto json = std::make_shared<bool>(false);
    cmd->add_flag("--json", *json, "print the result as JSON");
    cmd->callback([=] {
        CLoaded loaded;
        const std::vector<int> indices = LoadScope(*scope, loaded);
        const CSiteSpeedResult r = ComputeSiteSpeed(loaded.m_Data.m_Piles, indices);
        if (*json)
            PrintJson(r);
        else
            PrintPlain(r);
    });
}

} // namespace pw::cli
