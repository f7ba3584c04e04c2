// The printed pages and the pictures of a 500-pile site: all pages as a PDF (five rows, one column:
// 100 pages), beside one page drawn into an image as the reference of the drawing alone; and the
// pictures of 500 piles written as .bmp files into a folder, beside the same pictures only drawn.
#include <benchmark/benchmark.h>

#include <filesystem>

#include <QImage>
#include <QPainter>

#include "OffscreenBenchMain.h"
#include "BenchPiles.h"
#include "core/PictureFiles.h"
#include "view/CPagePrinter.h"
#include "view/CPilePicture.h"

namespace {

namespace fs = std::filesystem;

// A filtered pile, numbered and named after its seed.
pw::CPileRecord Pile(unsigned seed) {
    pw::CPileRecord r = pwbench::FilteredPile(seed);
    r.m_nPileNo = static_cast<int16_t>(seed + 1);
    r.SetPileName(std::to_string(seed + 1) + "#");
    r.Touch();
    return r;
}

const pw::CPrintJob& Job() {
    static const pw::CPrintJob job = [] {
        pw::CPrintJob j;
        for (unsigned i = 0; i < 500; ++i)
            j.m_Piles.push_back(Pile(i));
        j.m_Settings = pw::CPrintSettings::Defaults();
        j.m_strTitle = "bench.wvf";
        return j;
    }();
    return job;
}

void BM_Pdf500Piles(benchmark::State& state) {
    const fs::path out = fs::temp_directory_path() / "pw-bench-print.pdf";
    for (auto _ : state) {
        if (!pw::WritePrintPdf(Job(), out.string()).Ok()) state.SkipWithError("PDF not written");
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(out));
    fs::remove(out);
}

void BM_OnePageImage(benchmark::State& state) {
    const pw::CPagePrinter printer(Job());
    QImage img(1654, 2339, QImage::Format_RGB32); // A4 at 200 dpi
    for (auto _ : state) {
        img.fill(Qt::white);
        QPainter p(&img);
        printer.DrawPage(p, 1, 200, 200);
    }
}

void BM_Pictures500Files(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "pw-bench-pictures";
    fs::create_directories(dir);
    const pw::CPictureOptions options;
    for (auto _ : state) {
        for (const pw::CPileRecord& rec : Job().m_Piles) {
            const std::string path = (dir / pw::PictureFileName(rec.GetPileName(), rec.m_nPileNo)).string();
            if (!pw::WritePilePicture(rec, pw::PictureLayout::Single, options, path).Ok())
                state.SkipWithError("picture not written");
        }
    }
    fs::remove_all(dir);
}

void BM_Pictures500Drawn(benchmark::State& state) {
    const pw::CPictureOptions options;
    for (auto _ : state)
        for (const pw::CPileRecord& rec : Job().m_Piles)
            benchmark::DoNotOptimize(pw::RenderPilePicture(rec, pw::PictureLayout::Single, options));
}

BENCHMARK(BM_Pdf500Piles)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OnePageImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pictures500Files)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Pictures500Drawn)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    return pw::bench::RunOffscreenBenchmarks(argc, argv);
}
