// The report of a 500-pile site: the sample site's 30 records repeated under distinct pile numbers up
// to the 500 a project holds, all ticked; the whole .docx with its 500 pictures drawn on one thread
// beside all cores, and the pictures alone drawn on one thread (the work the threads share).
//
// `bench_report --write-site FILE` only writes that site as a project file and exits, for timing the
// command-line report on it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "OffscreenBenchMain.h"
#include "core/ProjectFile.h"
#include "core/ReportContent.h"
#include "report/WordReport.h"
#include "view/CPilePicture.h"

namespace {

namespace fs = std::filesystem;

// The sample site repeated to 500 records, every record ticked and numbered in order; a record whose
// pile number is taken already gets its place after it ("C-21-57"), so every picture is reported.
pw::CProjectData BigSite(const std::string& samplePath) {
    pw::CProjectData sample;
    const pw::CReadReport read = pw::LoadProjectFile(samplePath, sample);
    if (!read.m_bOk || sample.m_Piles.empty()) {
        std::fprintf(stderr, "cannot read the sample site %s: %s\n", samplePath.c_str(), read.m_strError.c_str());
        std::exit(1);
    }
    pw::CProjectData site;
    site.m_Header = sample.m_Header;
    const std::size_t n = sample.m_Piles.size();
    std::set<std::string> names;
    for (std::size_t i = 0; site.m_Piles.size() < static_cast<std::size_t>(pw::kMaxPiles); ++i) {
        pw::CPileRecord rec = sample.m_Piles[i % n];
        if (!names.insert(rec.GetPileName()).second) {
            rec.SetPileName(rec.GetPileName() + "-" + std::to_string(i + 1));
            names.insert(rec.GetPileName());
        }
        rec.m_nPileNo = static_cast<int16_t>(site.m_Piles.size() + 1);
        rec.m_bChecked = 1;
        site.m_Piles.push_back(rec);
    }
    return site;
}

const pw::CProjectData& Site() {
    static const pw::CProjectData site = BigSite(PILEWAVE_SAMPLE_SITE);
    return site;
}

const pw::CReportContent& Content() {
    static const pw::CReportContent content = [] {
        pw::CReportInfo info;
        pw::PrefillReportInfo(info, Site().m_Header, Site().m_Piles.front(), static_cast<int>(Site().m_Piles.size()));
        return pw::MakeReportContent(Site().m_Piles, info, pw::CDate{2026, 3, 9});
    }();
    return content;
}

pw::report::PictureSource Pictures() {
    return [](int index, pw::report::CPicture& out) {
        out.m_Png = pw::PilePicturePng(Site().m_Piles[static_cast<std::size_t>(index)], pw::PictureLayout::Single,
                                       &out.m_nWidth, &out.m_nHeight);
        return !out.m_Png.empty();
    };
}

// The whole report; the argument is the number of drawing threads (0: one per core).
void BM_Report500Piles(benchmark::State& state) {
    const fs::path out = fs::temp_directory_path() / "pw-bench-report.docx";
    pw::report::CParallelPictures pictures{Pictures(), static_cast<int>(state.range(0))};
    for (auto _ : state) {
        const pw::CResult written = pw::report::WriteWordReport(PILEWAVE_TEMPLATE, out.string(), Content(), pictures);
        if (!written.Ok()) state.SkipWithError(written.CliText().c_str());
    }
    fs::remove(out);
    state.counters["pictures"] = static_cast<double>(Content().m_Piles.size());
}

// The 500 pictures alone, on this thread.
void BM_Pictures500Png(benchmark::State& state) {
    const pw::report::PictureSource source = Pictures();
    for (auto _ : state)
        for (const int index : Content().m_Piles) {
            pw::report::CPicture picture;
            benchmark::DoNotOptimize(source(index, picture));
        }
}

BENCHMARK(BM_Report500Piles)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Pictures500Png)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-site") == 0) {
        const pw::CProjectData site = BigSite(PILEWAVE_SAMPLE_SITE);
        const std::string error = pw::SaveProjectFile(argv[2], site.m_Header, site.m_Piles);
        if (!error.empty()) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    return pw::bench::RunOffscreenBenchmarks(argc, argv);
}
