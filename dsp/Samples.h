// Fixed sizes shared by the processing steps, the filters and the spectra.
#pragma once

namespace pw {

inline constexpr int kTraceSamples = 1024;   // samples of one velocity trace
inline constexpr int kMaxFirTaps = 511;      // longest filter the pipeline designs (kTraceSamples/2 - 1)
inline constexpr int kSpectrumPoints = 4096; // zero-padded transform length of a spectrum
inline constexpr int kSpectrumBins = 1024;   // bins kept from that transform (0 .. fs/4)

} // namespace pw
