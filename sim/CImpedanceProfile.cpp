// Building the cell lattice of a pile: defect kinds as changes of section, soil as dashpots and springs.
#include "sim/CImpedanceProfile.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pw {

CSectionFactors SectionAt(const CPileDescription& desc, double z) {
    CSectionFactors f;
    for (const CSimDefect& d : desc.defects) {
        float severity = d.fSeverity, extent = d.fExtent;
        float usualSeverity = 0.f, usualExtent = 0.f;
        if (!DefectDefaults(d.nType, usualSeverity, usualExtent)) continue;
        if (extent <= 0.f) extent = usualExtent;
        const double top = d.fDepth;
        // 扩底 (usual extent 0) reaches down to the toe.
        const double bottom = extent > 0.f ? top + extent : static_cast<double>(desc.fLength) + 1.;
        if (z < top || z >= bottom) continue;
        // A fall of impedance by 100 % would be a pile cut through with nothing below it: keep 1 %.
        const double fall = std::clamp(static_cast<double>(severity), 0., 0.99);
        const double rise = std::clamp(static_cast<double>(severity), 0., 10.);
        switch (d.nType) {
        case 1: // 扩径: a larger cross-section
        case 7: // 扩底: the enlarged base, a larger cross-section down to the toe
            f.fArea *= 1. + rise;
            break;
        case 6: // 离析: poor concrete, lighter and slower; together they lower ρ·c by the severity
            f.fDensity *= std::sqrt(1. - fall);
            f.fSpeed *= std::sqrt(1. - fall);
            break;
        default: // 缩径, 断桩, 裂纹, 夹泥: less sound concrete carries the wave
            f.fArea *= 1. - fall;
            break;
        }
    }
    return f;
}

CImpedanceProfile CImpedanceProfile::Build(const CPileDescription& desc, double fTau) {
    CImpedanceProfile p;
    p.m_fTau = fTau;
    const double length = desc.fLength;
    const double speed = desc.fWaveSpeed;
    const double radius = desc.fDiameter * 0.5e-3; // m
    const double area = std::numbers::pi * radius * radius;
    const double zSound = desc.fDensity * speed * area;
    auto SpeedAt = [&](double z) { return speed * SectionAt(desc, z).fSpeed; };

    // Cells are cut while more than half a cell of pile is left: the toe lies within half a cell
    // of its true depth, and the toe echo within one cell travel time of 2L/c.
    double z = 0.;
    while (length - z > 0.5 * SpeedAt(z) * fTau) {
        const double mid = z + 0.5 * SpeedAt(z) * fTau;
        const CSectionFactors f = SectionAt(desc, mid);
        p.m_fTop.push_back(z);
        p.m_fZ.push_back(zSound * f.fDensity * f.fSpeed * f.fArea);
        z += speed * f.fSpeed * fTau;
    }
    if (p.m_fZ.empty()) { // a pile shorter than a cell is still one cell
        p.m_fTop.push_back(0.);
        p.m_fZ.push_back(zSound);
    }

    // The soil sees the sound pile: its dashpots do not care about a neck inside the concrete. A wave
    // passing a joint with dashpot R keeps 2Z / (2Z + R) of itself, so R = 2·Z·α·spacing makes the
    // amplitude fall as exp(-α·distance).
    const double alpha = std::max(0.f, desc.fShaftDamping);
    const double omega = 2. * std::numbers::pi * std::max(0.f, desc.fSoilCorner);
    const int n = p.CellCount();
    p.m_fShaftR.assign(static_cast<std::size_t>(n), 0.);
    p.m_fShaftK.assign(static_cast<std::size_t>(n), 0.);
    for (int j = 1; j < n; ++j) {
        const double spacing =
            j + 1 < n ? 0.5 * (p.m_fTop[j + 1] - p.m_fTop[j - 1]) : p.m_fTop[j] - p.m_fTop[j - 1];
        p.m_fShaftR[j] = 2. * zSound * alpha * spacing;
        p.m_fShaftK[j] = p.m_fShaftR[j] * omega;
    }

    // Toe: a dashpot of impedance Z·f/(1-f) gives the force reflection (2f - 1): free at 0, no echo
    // at 0.5, fixed at 1.
    const double fixity = std::clamp(static_cast<double>(desc.fToeFixity), 0., 1.);
    p.m_bToeFixed = fixity >= 1.;
    if (!p.m_bToeFixed) {
        p.m_fToeR = p.m_fZ.back() * fixity / (1. - fixity);
        p.m_fToeK = p.m_fToeR * omega;
    }
    return p;
}

} // namespace pw
