// The pile as the wave model sees it: cells of equal wave travel time from the head down to the toe,
// each with its impedance, and at every joint the soil's shaft dashpot and spring.
#pragma once

#include <vector>

#include "sim/PileDescription.h"

namespace pw {

class CImpedanceProfile {
public:
    // Cuts the described pile into cells a wave crosses in fTau seconds. A section whose wave speed is
    // lower (segregation) gets shorter cells, so every echo stays on the time grid.
    static CImpedanceProfile Build(const CPileDescription& desc, double fTau);

    int CellCount() const { return static_cast<int>(m_fZ.size()); }

    double m_fTau = 0.;         // s, travel time of one cell
    std::vector<double> m_fZ;   // impedance ρ·c·A of cell i (cell 0 at the head), N·s/m
    std::vector<double> m_fTop; // depth of the top of cell i, m
    // Soil at the joint above cell j (j = 1 .. N-1; entry 0, the head, is unused): dashpot in N·s/m
    // and spring in N/m.
    std::vector<double> m_fShaftR;
    std::vector<double> m_fShaftK;
    double m_fToeR = 0.;      // toe dashpot, N·s/m
    double m_fToeK = 0.;      // toe spring, N/m
    bool m_bToeFixed = false; // a toe that cannot move at all (fixity 1)
};

// Factors the described defects put on the density, wave speed and cross-section at depth z (m).
struct CSectionFactors {
    double fDensity = 1., fSpeed = 1., fArea = 1.;
};
CSectionFactors SectionAt(const CPileDescription& desc, double z);

} // namespace pw
