// Site simulation: per pile the unknowns (exact wave speed, soil, toe, hammer) are drawn around the
// site's values, then every blow of the pile is simulated with its own hammer and noise.
#include "sim/SiteSimulator.h"

#include <algorithm>
#include <cmath>

#include "sim/CSimRandom.h"
#include "sim/PileSimulator.h"

namespace pw {

float ChooseSampleInterval(float length, float speed) {
    const double echo = 2e6 * length / speed; // µs
    for (const float dt : {10.f, 20.f, 25.f})
        if (50. + echo / dt <= 0.6 * kSamples) return dt;
    return 25.f;
}

std::string SimulateSite(const CSiteDescription& site, CProjectData& out) {
    out = CProjectData{};
    int records = 0;
    for (const CSitePile& p : site.piles) {
        if (!(p.fLength > 0.f) || p.fLength > 100.f)
            return "pile \"" + p.strName + "\" needs a length between 0 and 100 m";
        if (p.nBlows < 1) return "pile \"" + p.strName + "\" needs at least one blow";
        if (const std::string bad = CheckDefectDepths(p.defects, p.fLength); !bad.empty())
            return "pile \"" + p.strName + "\": " + bad;
        const float dt = p.fSampleInterval > 0.f ? p.fSampleInterval : site.fSampleInterval;
        if (dt > 0.f && (dt < kMinSimInterval || dt > kMaxSimInterval))
            return "pile \"" + p.strName + "\": the sampling interval must lie between 1 and 1000 us";
        records += p.nBlows;
    }
    if (records > kMaxPiles) return "a site holds at most " + std::to_string(kMaxPiles) + " records";

    CSimRandom random(site.nSeed);
    for (const CSitePile& p : site.piles) {
        // Drawn once per pile, in a fixed order, whether used or not: changing one pile's description
        // does not change the draws of the piles after it.
        const double speedDraw = random.Gauss();
        const double dampingDraw = random.Uniform(0.7, 1.3);
        const double toeDraw = random.Uniform(-0.08, 0.08);
        const uint64_t pileSeed = random.Next();

        CPileDescription pile;
        pile.fLength = static_cast<float>(std::round(p.fLength * 10.) / 10.);
        const double speed =
            p.fWaveSpeed > 0.f ? p.fWaveSpeed : site.fWaveSpeed + site.fSpeedScatter * speedDraw;
        pile.fWaveSpeed = static_cast<float>(std::lround(std::clamp(speed, 1000., 6000.)));
        pile.fDiameter = p.fDiameter > 0.f ? p.fDiameter : site.fDiameter;
        pile.fShaftDamping =
            p.fShaftDamping >= 0.f ? p.fShaftDamping : static_cast<float>(site.fShaftDamping * dampingDraw);
        pile.fToeFixity = p.fToeFixity >= 0.f
                              ? p.fToeFixity
                              : static_cast<float>(std::clamp(site.fToeFixity + toeDraw, 0., 1.));
        pile.defects = p.defects;

        CPileLabel label;
        label.strName = p.strName;
        label.strDate = p.strDate.empty() ? site.strDate : p.strDate;
        label.nPileType = p.nPileType >= 0 ? p.nPileType : site.nPileType;

        float dt = p.fSampleInterval > 0.f ? p.fSampleInterval : site.fSampleInterval;
        if (!(dt > 0.f)) dt = ChooseSampleInterval(pile.fLength, pile.fWaveSpeed);

        CSimRandom blows(pileSeed);
        for (int b = 0; b < p.nBlows; ++b) {
            CBlowDescription blow;
            blow.fSampleInterval = dt;
            // Larger piles are struck with heavier hammers: longer contact.
            blow.fDuration =
                static_cast<float>(blows.Uniform(0.7, 1.1) * std::clamp(pile.fDiameter / 800., 0.7, 1.5));
            blow.fAmplitude = static_cast<float>(blows.Uniform(60., 140.));
            blow.fNoise = site.fNoise;
            blow.fOffset = static_cast<float>(blows.Uniform(-1.5, 1.5));
            blow.fDrift = static_cast<float>(blows.Uniform(-2., 2.));
            blow.nHeadSample = blows.Integer(40, 64);
            blow.nSeed = blows.Next();
            out.m_Piles.push_back(SimulatePile(pile, blow, label));
            out.m_Piles.back().m_nPileNo = static_cast<int16_t>(out.m_Piles.size());
        }
    }
    out.m_Header.m_nPileCount = static_cast<int16_t>(out.m_Piles.size());
    out.m_Header.SetTestUnit(site.strTestUnit);
    out.m_Header.SetProjectName(site.strProjectName);
    return "";
}

} // namespace pw
