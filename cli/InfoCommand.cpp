// pilewave-cli info PATH [--json]: the header and the piles of a project file or tester folder.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "core/ReportContent.h"

#include "cli/CliCommands.h"
#include "cli/CliText.h"
#include "cli/CliLoad.h"
#include "core/PileTypes.h"
#include "core/ReportContent.h"
#include "dsp/Round1.h"

namespace pw::cli {
namespace {

using nlohmann::ordered_json;

// The shortest decimal that reads back as the same float32, as a JSON number; NaN and infinities
// have no JSON number and become null.
ordered_json Num(float v) {
    if (!std::isfinite(v)) return nullptr;
    char buf[32];
    for (int digits = 6; digits <= 9; ++digits) {
        std::snprintf(buf, sizeof buf, "%.*g", digits, static_cast<double>(v));
        if (std::strtof(buf, nullptr) == v) break;
    }
    return std::strtod(buf, nullptr);
}

ordered_json PileJson(CPileRecord& p) {
    ordered_json j;
    j["m_nPileNo"] = p.m_nPileNo;
    j["m_szPileName"] = p.GetPileName();
    j["m_nPileType"] = p.m_nPileType;
    j["m_nDiameter"] = p.m_nDiameter;
    j["m_szTestDate"] = p.GetTestDate();
    j["m_nSignalType"] = p.m_nSignalType;
    j["m_nAux1"] = p.m_nAux1;
    j["m_nAux2"] = p.m_nAux2;
    j["m_fAux3"] = Num(p.m_fAux3);
    j["m_bIntegrate"] = p.m_bIntegrate;
    j["m_nLowPassPasses"] = p.m_nLowPassPasses;
    j["m_nPreZero"] = p.m_nPreZero;
    j["m_nPostCut"] = p.m_nPostCut;
    j["m_nShiftY"] = p.m_nShiftY;
    j["m_szRemark"] = p.GetRemark();
    j["m_fPileLength"] = Num(p.m_fPileLength);
    j["m_nWaveSpeed"] = p.m_nWaveSpeed;
    j["m_fSampleInterval"] = Num(p.m_fSampleInterval);
    j["m_nAux4"] = p.m_nAux4;
    j["m_nGainMode"] = p.m_nGainMode;
    j["m_fGain"] = Num(p.m_fGain);
    j["m_fGainDelay"] = Num(p.m_fGainDelay);
    j["m_fLowPass"] = Num(p.m_fLowPass);
    j["m_fHighPass"] = Num(p.m_fHighPass);
    j["m_nRotate"] = p.m_nRotate;
    j["m_nHeadSample"] = p.m_nHeadSample;
    j["m_nStep"] = p.m_nStep;
    ordered_json defects = ordered_json::array();
    for (const auto& d : p.m_Defects) defects.push_back({{"nType", d.nType}, {"fDepth", Num(d.fDepth)}});
    j["m_Defects"] = std::move(defects);
    j["m_nSmooth"] = p.m_nSmooth;
    j["m_nShiftX"] = p.m_nShiftX;
    j["m_nZoom"] = p.m_nZoom;
    ordered_json segments = ordered_json::array();
    for (const auto& s : p.m_pSegments)
        segments.push_back({{"fFactor", Num(s.fFactor)}, {"nFrom", s.nFrom}, {"nTo", s.nTo}});
    j["m_pSegments"] = std::move(segments);
    j["m_nSegments"] = p.GetSegmentCount();
    j["m_bChecked"] = p.m_bChecked;
    j["m_szInfo"] = p.GetInfo();
    ordered_json marks = ordered_json::array();
    for (int i = 0; i < p.m_nMarkCount; ++i) marks.push_back(p.m_nMarks[i]);
    j["m_nMarks"] = std::move(marks);
    j["m_nMarkCount"] = p.m_nMarkCount;
    // Kept in the block after the records: the engineer's class (null while the rule decides) and
    // the class the defect rule gives.
    static const char* const kDecided[] = {nullptr, "I", "II", "III", "IV"};
    if (p.m_nClassDecision >= 1 && p.m_nClassDecision <= 4)
        j["class_decision"] = kDecided[p.m_nClassDecision];
    else
        j["class_decision"] = nullptr;
    j["class_rule"] = PileClassText(RuleClass(p));
    j["class"] = PileClassText(PileClassOf(p));
    ordered_json raw = ordered_json::array();
    for (float v : p.m_fRaw) raw.push_back(Num(v));
    j["m_fRaw"] = std::move(raw);
    return j;
}

void PrintJson(CLoaded& loaded) {
    ordered_json j;
    j["source"] = loaded.m_bFolder ? "folder" : "project";
    j["kind"] = SourceKindName(loaded.m_nKind);
    if (loaded.m_bFolder) {
        j["version"] = nullptr;
        j["magic"] = nullptr;
    } else {
        j["version"] = loaded.m_nVersion;
        j["magic"] = MagicOfVersion(loaded.m_nVersion);
    }
    const CProjectHeader& h = loaded.m_Data.m_Header;
    j["header"] = {{"m_nPileCount", h.m_nPileCount},
                   {"m_szTestUnit", h.GetTestUnit()},
                   {"m_szProjectName", h.GetProjectName()}};
    ordered_json piles = ordered_json::array();
    for (std::size_t i = 0; i < loaded.m_Data.m_Piles.size(); ++i) {
        ordered_json pile = PileJson(loaded.m_Data.m_Piles[i]);
        // Piles are numbered 1..N on reading; what the file stored is kept beside it.
        if (i < loaded.m_Data.m_StoredPileNos.size())
            pile["m_nStoredPileNo"] = loaded.m_Data.m_StoredPileNos[i];
        piles.push_back(std::move(pile));
    }
    j["piles"] = std::move(piles);
    const std::string text = j.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

void PrintPlain(CLoaded& loaded) {
    const CProjectHeader& h = loaded.m_Data.m_Header;
    if (loaded.m_bFolder)
        std::printf("%s\n", SourceKindName(loaded.m_nKind));
    else
        std::printf("project file %s (version %d)\n", MagicOfVersion(loaded.m_nVersion), loaded.m_nVersion);
    std::printf("test unit: %s\nproject: %s\npiles: %d\n", h.GetTestUnit().c_str(), h.GetProjectName().c_str(),
                h.m_nPileCount);
    std::printf("%4s  %s%s%s%8s %8s %6s %6s %7s\n", "no", PadColumns("name", 11, 1).c_str(), PadColumns("date", 13, 1).c_str(),
                PadColumns("type", 16, 1).c_str(), "diam_mm", "length_m", "c_m/s", "dt_us", "defects");
    std::string line;
    for (auto& p : loaded.m_Data.m_Piles) {
        char buf[512];
        std::snprintf(buf, sizeof buf, "%4d  %s%s%s%8d %8s %6d %6g %7d\n", p.m_nPileNo,
                      PadColumns(p.GetPileName(), 11, 1).c_str(), PadColumns(p.GetTestDate(), 13, 1).c_str(),
                      PadColumns(PileTypeText(p.m_nPileType), 16, 1).c_str(), p.m_nDiameter,
                      Round1Text(p.m_fPileLength).c_str(), p.m_nWaveSpeed, static_cast<double>(p.m_fSampleInterval),
                      p.GetDefectCount());
        line += buf;
    }
    std::fwrite(line.data(), 1, line.size(), stdout);
}

} // namespace

void AddInfoCommand(CLI::App& app) {
    auto* cmd = app.add_subcommand("info", "Show the header and piles of a project file or tester folder");
    auto path = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    cmd->add_option("PATH", *path, "project file (.wvf, any version), tester folder, or a file inside one")
        ->required();
    cmd->add_flag("--json", *json, "every stored field as JSON");
    cmd->callback([path, json] {
        CLoaded loaded = LoadAnyPath(*path);
        if (loaded.m_Report.m_bOk || !loaded.m_Data.m_Piles.empty()) {
            if (*json)
                PrintJson(loaded);
            else
                PrintPlain(loaded);
        }
        ReportOrExit(*path, loaded.m_Report);
    });
}

} // namespace pw::cli
