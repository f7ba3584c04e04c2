// From pile and blow to a pile record: run the wave model, sample the head velocity, add what a real
// sensor and amplifier add.
#include "sim/PileSimulator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sim/CPileModel.h"
#include "sim/CSimRandom.h"

namespace pw {

std::vector<double> SimulateHeadVelocity(const CPileDescription& pile, const CBlowDescription& blow) {
    std::vector<double> out(kSamples, 0.);
    const double dt = blow.fSampleInterval * 1e-6; // s
    // Nothing to model without a pile of some size (a zero impedance would divide by zero below).
    if (!(dt > 0.) || !(pile.fLength > 0.f) || !(pile.fWaveSpeed > 0.f) || !(pile.fDiameter > 0.f) ||
        !(pile.fDensity > 0.f))
        return out;
    const int head = std::clamp(blow.nHeadSample, 0, kSamples - 1);
    const double tau = dt / kSimSubsteps;
    const CPileModel model(CImpedanceProfile::Build(pile, tau));

    // Half-sine hammer force, scaled so that the blow alone moves the head by fAmplitude at its peak
    // (v = F / Z for a wave leaving a free head).
    const double contact = std::max(0.05, static_cast<double>(blow.fDuration)) * 1e-3; // s
    const double peakForce = blow.fAmplitude * model.Profile().m_fZ[0];
    std::vector<double> force;
    for (int n = 0; n * tau <= contact; ++n)
        force.push_back(peakForce * std::sin(std::numbers::pi * n * tau / contact));

    const int steps = (kSamples - head) * kSimSubsteps;
    const std::vector<double> v = model.Run(force, steps);
    for (int k = head; k < kSamples; ++k)
        out[static_cast<std::size_t>(k)] = v[static_cast<std::size_t>((k - head) * kSimSubsteps)];
    return out;
}

CPileRecord SimulatePile(const CPileDescription& pile, const CBlowDescription& blow, const CPileLabel& label) {
    CPileRecord r;
    const std::vector<double> clean = SimulateHeadVelocity(pile, blow);
    CSimRandom random(blow.nSeed);
    const double sigma = std::max(0.f, blow.fNoise) * blow.fAmplitude;
    for (int k = 0; k < kSamples; ++k) {
        const double drift = blow.fDrift * k / (kSamples - 1.);
        r.m_fRaw[k] = static_cast<float>(clean[static_cast<std::size_t>(k)] + sigma * random.Gauss() +
                                         blow.fOffset + drift);
    }

    r.SetPileName(label.strName);
    r.SetTestDate(label.strDate);
    r.m_nPileType = static_cast<int16_t>(label.nPileType);
    r.m_nDiameter = static_cast<int16_t>(std::lround(pile.fDiameter));
    r.m_fPileLength = pile.fLength;
    r.m_nWaveSpeed = static_cast<int16_t>(std::lround(pile.fWaveSpeed));
    r.m_fSampleInterval = blow.fSampleInterval;
    r.m_nHeadSample = static_cast<int16_t>(std::clamp(blow.nHeadSample, 0, kSamples - 1));
    r.m_nStep = 1;
    r.m_nSignalType = 1;
    r.m_nLowPassPasses = 1;
    r.m_nSmooth = 1;
    r.m_fGain = 1.f;

    std::vector<CSimDefect> defects = pile.defects;
    std::stable_sort(defects.begin(), defects.end(),
                     [](const CSimDefect& a, const CSimDefect& b) { return a.fDepth < b.fDepth; });
    int used = 0;
    for (const CSimDefect& d : defects)
        if (used < kMaxDefects && d.nType >= 1 && d.nType <= 7)
            r.m_Defects[used++] = DefectMark{static_cast<int16_t>(d.nType), d.fDepth};
    r.Touch();
    return r;
}

} // namespace pw
