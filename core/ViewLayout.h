// The layouts of the waveform view, as the document stores them (DisplayOptions::m_nLayout) and as the
// views, printing and pictures tell them apart.
#pragma once

namespace pw {

enum class Layout : int {
    Single = 0,
    ThreeTraces = 1,
    WaveTrain = 2,
    AmplitudeSpectrum = 3,
    PowerSpectrum = 4,
};

// The stored layout number as a layout; any other number shows a single trace.
inline Layout LayoutOf(int code) {
    return code >= 0 && code <= 4 ? static_cast<Layout>(code) : Layout::Single;
}
// The number the document stores for a layout.
inline int LayoutCode(Layout l) { return static_cast<int>(l); }
inline bool IsSpectrumLayout(Layout l) {
    return l == Layout::AmplitudeSpectrum || l == Layout::PowerSpectrum;
}
inline bool IsMarkerLayout(Layout l) { // head, toe and defects are placed here, and the tools work
    return l == Layout::Single || l == Layout::ThreeTraces;
}

} // namespace pw
