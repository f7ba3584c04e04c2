// pilewave-cli trace / average: the processed trace of one pile, and averaging piles into a new one.
#include <array>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/CliCommands.h"
#include "cli/CliLoad.h"
#include "cli/RecordFields.h"
#include "core/Averaging.h"
#include "core/TraceProcessing.h"

namespace pw::cli {
namespace {

using nlohmann::ordered_json;

ordered_json JsonNumber(double v) { return std::isfinite(v) ? ordered_json(v) : ordered_json(nullptr); }

ordered_json Values(const float* v, int n) {
    ordered_json a = ordered_json::array();
    for (int i = 0; i < n; ++i) a.push_back(JsonNumber(v[i]));
    return a;
}

CPileRecord* FindPile(CProjectData& data, int pileNo) {
    for (auto& p : data.m_Piles)
        if (p.m_nPileNo == pileNo) return &p;
    return nullptr;
}

struct CTraceOptions {
    std::string path;
    int pile = 0;
    int viewPoints = 0;
    bool hasViewPoints = false;
    std::vector<std::string> sets;
    bool spectra = false, json = false, csv = false;
};

void RunTrace(const CTraceOptions& o) {
    CLoaded loaded = LoadAnyPath(o.path);
    ReportOrExit(o.path, loaded.m_Report);
    CPileRecord* rec = FindPile(loaded.m_Data, o.pile);
    if (!rec) {
        std::fprintf(stderr, "%s: there is no pile %d\n", o.path.c_str(), o.pile);
        Exit(1);
    }
    // The order is fixed because the step choice depends on how often it has run: assignments, then
    // the view width as the view sets it before plotting, then the trace.
    for (const std::string& set : o.sets) {
        const auto eq = set.find('=');
        const std::string error = eq == std::string::npos ? "--set wants FIELD=VALUE, not \"" + set + "\""
                                                          : SetRecordField(*rec, set.substr(0, eq), set.substr(eq + 1));
        if (!error.empty()) {
            std::fprintf(stderr, "--set %s: %s\n", set.c_str(), error.c_str());
            Exit(2);
        }
        rec->Touch();
    }
    if (o.hasViewPoints) FitViewStep(*rec, o.viewPoints);
    const float* trace = SettleStep(*rec);
    const ProcessInfo& info = TraceCache().Info(*rec, rec->m_nStep);

    if (o.csv) {
        std::printf("sample,time_ms,depth_m,raw,trace\n");
        const bool scale = rec->IsProcessable();
        for (int i = 0; i < kSamples; ++i) {
            if (scale) {
                const double t = i * static_cast<double>(rec->m_fSampleInterval) * 0.001;
                const double depth = (i - rec->m_nHeadSample) * static_cast<double>(rec->m_fSampleInterval) *
                                     rec->m_nWaveSpeed * 5e-7;
                std::printf("%d,%.4f,%.4f,%.9g,%.9g\n", i, t, depth, static_cast<double>(rec->m_fRaw[i]),
                            static_cast<double>(trace[i]));
            } else {
                std::printf("%d,,,%.9g,%.9g\n", i, static_cast<double>(rec->m_fRaw[i]), static_cast<double>(trace[i]));
            }
        }
        return;
    }
    if (!o.json) {
        for (int i = 0; i < kSamples; ++i) std::printf("%.9g\n", static_cast<double>(trace[i]));
        return;
    }
    ordered_json j;
    j["m_nPileNo"] = rec->m_nPileNo;
    j["m_nStep"] = rec->m_nStep;
    j["m_nHeadPoint"] = info.nHeadPoint;
    // What the filter and the integration ran with; without them, the lengths they would start from.
    j["m_nFirTaps"] = info.nFirTaps.value_or(33);
    j["m_nIntegSpan"] = info.nIntegSpan.value_or(50);
    const auto toe = rec->ToePoint();
    j["ToePoint"] = toe ? ordered_json(*toe) : ordered_json(nullptr);
    j["trace"] = Values(trace, kSamples);
    if (o.spectra) {
        ordered_json spectrum;
        std::array<float, kSamples> values{};
        for (const auto& [name, kind] : {std::pair{"amplitude", 0}, {"power", 1}, {"phase", 2}}) {
            const float max = RecordSpectrum(*rec, kind, values);
            spectrum[name] = {{"values", Values(values.data(), kSamples)}, {"max", JsonNumber(max)}};
        }
        j["spectrum"] = std::move(spectrum);
    }
    const std::string text = j.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
    std::printf("%s\n", text.c_str());
}

} // namespace

void AddTraceCommands(CLI::App& app) {
    {
        auto* cmd = app.add_subcommand("trace", "Print the processed trace of one pile");
        auto o = std::make_shared<CTraceOptions>();
        cmd->add_option("PATH", o->path, "project file, tester folder, or a file inside one")->required();
        cmd->add_option("--pile", o->pile, "pile number")->required();
        auto* vp = cmd->add_option("--view-points", o->viewPoints, "fit the step to this view width, as the view does");
        cmd->add_option("--set", o->sets,
                        "FIELD=VALUE: change a stored numeric field as it is before processing (repeatable); "
                        "nothing follows it: a filter set here does not move the head, a speed does not move "
                        "the defects (use apply for that)");
        cmd->add_flag("--spectra", o->spectra, "with --json: amplitude, power and phase spectra too");
        auto* json = cmd->add_flag("--json", o->json, "JSON instead of one value per line");
        cmd->add_flag("--csv", o->csv, "CSV: sample, time_ms, depth_m, raw, trace")->excludes(json);
        cmd->callback([o, vp] {
            o->hasViewPoints = vp->count() > 0;
            RunTrace(*o);
        });
    }
    {
        auto* cmd = app.add_subcommand("average", "Average piles of the same name into a new pile and save the project");
        auto path = std::make_shared<std::string>();
        auto piles = std::make_shared<std::string>();
        auto out = std::make_shared<std::string>();
        cmd->add_option("PATH", *path, "project file, tester folder, or a file inside one")->required();
        cmd->add_option("--piles", *piles, "pile numbers; the first is the current pile, whose name all must share")
            ->required();
        cmd->add_option("-o,--output", *out, "the version-3 project file to write")->required();
        cmd->callback([path, piles, out] {
            CLoaded loaded = LoadAnyPath(*path);
            ReportOrExit(*path, loaded.m_Report);
            const CAverageResult result = AverageSelected(loaded.m_Data.m_Piles, ParsePileList(*piles));
            if (!result.Ok()) {
                std::fprintf(stderr, "%s\n", result.m_strMessage.empty() ? "a selected pile does not exist"
                                                                         : result.m_strMessage.c_str());
                Exit(1);
            }
            const std::string error = SaveProjectFile(*out, loaded.m_Data.m_Header, loaded.m_Data.m_Piles);
            if (!error.empty()) {
                std::fprintf(stderr, "%s\n", error.c_str());
                Exit(1);
            }
            std::printf("added pile %d; wrote %s\n", result.m_nNewPileNo, out->c_str());
        });
    }
}

} // namespace pw::cli
