// Repaints of the waveform view's layouts into a client-sized image on the offscreen platform: single
// trace and three traces of filtered piles, the wave train of a 500-pile site (only the rows in view,
// as the window paints it, beside every row, as a full picture of the train would). In the window
// itself: the cursor moved one column with the arrow keys (readouts and the strips of the old and new
// line, the traces not drawn again) beside a full repaint of the same window, and the switch to the
// power spectrum with its computation and paint.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "BenchPiles.h"
#include "core/CDEVAzazDoc.h"
#include "core/CommandIds.h"
#include "view/CLayoutRenderer.h"
#include "view/FormalView.h"

namespace {

const QSize kClient(1000, 700);

// A filtered pile at full resolution, with gain and one defect.
pw::CPileRecord Pile(unsigned seed) {
    pw::CPileRecord r = pwbench::FilteredPile(seed);
    r.m_nStep = 1;
    r.m_fGain = 3.f;
    r.m_Defects[0] = pw::DefectMark{2, 5.5f};
    return r;
}

void FillDoc(pw::CDEVAzazDoc& doc, int piles, int layout) {
    for (int i = 0; i < piles; ++i) {
        doc.m_Piles.push_back(Pile(static_cast<unsigned>(i + 1)));
        doc.m_Piles.back().m_nPileNo = static_cast<int16_t>(i + 1);
    }
    doc.m_Header.m_nPileCount = piles;
    doc.SetSelection({1});
    doc.m_Display.m_nLayout = layout;
}

// Renders like the window's paint: scrollY is the wave train's scroll position, visibleRows = false
// draws the whole train (the culling's reference).
void Repaint(benchmark::State& state, int piles, int layout, bool dirty, int scrollY, QSize client) {
    pw::CDEVAzazDoc doc;
    FillDoc(doc, piles, layout);
    pw::ViewState view;
    pw::CPlotFonts fonts;
    pw::CLayoutRenderer renderer(doc, view, fonts);
    QImage image(client, QImage::Format_RGB32);
    {
        QPainter p(&image); // the first paint fits the steps and processes every pile
        renderer.Render(p, client, scrollY, true);
    }
    for (auto _ : state) {
        if (dirty) doc.GetCurrentPile()->Touch(); // a tool changed the pile: reprocess, then draw
        QPainter p(&image);
        renderer.Render(p, client, scrollY, true);
    }
}

void BM_SingleTrace(benchmark::State& s) {
    Repaint(s, 30, 0, false, 0, kClient);
}
void BM_SingleTraceAfterEdit(benchmark::State& s) {
    Repaint(s, 30, 0, true, 0, kClient);
}
void BM_ThreeTraces(benchmark::State& s) {
    Repaint(s, 30, 1, false, 0, kClient);
}
void BM_ThreeTracesAfterEdit(benchmark::State& s) {
    Repaint(s, 30, 1, true, 0, kClient);
}
void BM_WaveTrain500Top(benchmark::State& s) {
    Repaint(s, 500, 2, false, 0, kClient);
}
void BM_WaveTrain500Middle(benchmark::State& s) {
    Repaint(s, 500, 2, false, 250 * 30, kClient);
}
// Reference: every row of the train in one picture 500 x 30 units high.
void BM_WaveTrain500AllRows(benchmark::State& s) {
    Repaint(s, 500, 2, false, 0, QSize(1000, 500 * 30));
}

// The window on the offscreen platform, 1000 x 700, single trace, every paint done before returning.
struct Window {
    pw::CDEVAzazDoc doc;
    std::unique_ptr<FormalView> view;
    explicit Window(int layout) {
        FillDoc(doc, 30, layout);
        view = std::make_unique<FormalView>(doc);
        view->resize(kClient);
        view->show();
        QApplication::processEvents();
    }
    void Key(int key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(view.get(), &e);
        QApplication::processEvents();
    }
    void Mouse(QEvent::Type type, QPoint at) {
        QMouseEvent e(type, at, view->viewport()->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &e);
        QApplication::processEvents();
    }
};

// Grab the pile head (box column 50, x 60), release, then Right / Left: one column per key.
void BM_CursorMoveOneColumn(benchmark::State& state) {
    Window w(0);
    w.Mouse(QEvent::MouseMove, QPoint(60, 200));
    w.Mouse(QEvent::MouseButtonPress, QPoint(60, 200));
    w.Mouse(QEvent::MouseButtonRelease, QPoint(60, 200));
    int n = 0;
    for (auto _ : state)
        w.Key(++n % 2 ? Qt::Key_Right : Qt::Key_Left);
    if (w.view->State().m_nGrabbed != 1000) state.SkipWithError("the head was not grabbed");
}

// Reference: the same window drawing its traces again.
void BM_WindowFullRepaint(benchmark::State& state) {
    Window w(0);
    for (auto _ : state) {
        w.view->FastRedraw();
        QApplication::processEvents();
    }
}

// From the single trace to the power spectrum: the layout command, the spectrum of the current pile
// and the paint. Switching back is not timed.
void BM_SwitchToPowerSpectrum(benchmark::State& state) {
    Window w(0);
    for (auto _ : state) {
        state.PauseTiming();
        w.doc.SetLayout(pw::cmd::kSingleTrace);
        QApplication::processEvents();
        state.ResumeTiming();
        w.doc.SetLayout(pw::cmd::kPowerSpectrum);
        QApplication::processEvents();
    }
}

BENCHMARK(BM_CursorMoveOneColumn)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WindowFullRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SwitchToPowerSpectrum)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SingleTrace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SingleTraceAfterEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreeTraces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreeTracesAfterEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaveTrain500Top)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaveTrain500Middle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaveTrain500AllRows)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
