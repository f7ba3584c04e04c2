// The spectrum layouts of the screen.
#include "core/CDEVAzazDoc.h"
#include "dsp/Spectrum.h"
#include "view/CLayoutPainter.h"
#include "view/CSpectrumPlotter.h"

namespace pw {

void CSpectrumPainter::Render(QPainter& painter, QSize client, int /*scrollY*/, bool screen) {
    CPileRecord* cur = m_Doc.GetCurrentPile();
    if (!cur) return;
    CPlotCanvas canvas(painter, m_Fonts, PlotScale{}, screen);
    CSpectrumPlotter plotter(canvas);
    const TraceBox box{10, 10, client.width() - 20, client.height() - 20};
    const int kind = m_eKind == Layout::PowerSpectrum ? kSpectrumPower : kSpectrumAmplitude;
    plotter.Draw(box, *cur, m_Doc.SettledTrace(*cur), kind, m_State.m_nBinWidth);
}

} // namespace pw
