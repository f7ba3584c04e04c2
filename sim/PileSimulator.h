// One simulated test of one pile as a pile record: the trace of the wave model with noise, offset
// and drift, and the record fields that describe the pile and its built-in defects.
#pragma once

#include <string>
#include <vector>

#include "core/CPileRecord.h"
#include "sim/PileDescription.h"

namespace pw {

// Time steps of the wave model per sample: cells are a quarter of the distance a wave runs in one
// sample (2 cm at 3800 m/s and 20 µs), so defect and toe depths land within a centimetre or so.
inline constexpr int kSimSubsteps = 4;
// Sampling intervals the simulator is meant for, µs: below 1 µs a 100 m pile would need millions of cells.
inline constexpr float kMinSimInterval = 1.f;
inline constexpr float kMaxSimInterval = 1000.f;

// The head velocity of the noise-free model, in the units of blow.fAmplitude, at the record's
// samples: zero before blow.nHeadSample, the blow starting there; all zero for a pile without length,
// speed, diameter or density. The work grows with length / (speed · interval): keep the interval
// at 1 µs or more (see kMinSimInterval).
std::vector<double> SimulateHeadVelocity(const CPileDescription& pile, const CBlowDescription& blow);

// The identification a record carries besides what the model needs.
struct CPileLabel {
    std::string strName; // UTF-8, at most 9 GBK bytes are kept
    std::string strDate; // UTF-8 test date, "2024-05-11"
    int nPileType = 1;   // pile-type code 0..7
};

// A record as the tester would deliver it: raw samples with noise, offset and drift; length, wave
// speed, diameter, sampling interval and head sample of the pile; its defects (type and top depth,
// by depth, at most ten); processing parameters at their neutral values (no gain, no filters).
CPileRecord SimulatePile(const CPileDescription& pile, const CBlowDescription& blow, const CPileLabel& label);

} // namespace pw
