// What the pile simulator is asked to build: the pile (impedance profile, defects, soil, toe) and
// the blow and recording that make one trace of it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

// One defect as built into the pile. nType uses the program's defect codes (1 扩径 .. 7 扩底).
struct CSimDefect {
    int nType = 0;
    float fDepth = 0.f;    // m below the pile head: top of the changed section (the depth the record keeps)
    float fSeverity = 0.f; // relative change of impedance, 0..1 (a rise for 扩径 and 扩底, a fall otherwise)
    float fExtent = 0.f; // m of pile the change spans; 0 = the kind's usual extent (扩底: down to the toe)
};

struct CPileDescription {
    float fLength = 12.f;      // m
    float fWaveSpeed = 3800.f; // m/s of sound concrete
    float fDiameter = 800.f;   // mm
    float fDensity = 2400.f;   // kg/m³
    std::vector<CSimDefect> defects;
    // Soil along the shaft: the amplitude of a wave falls as exp(-fShaftDamping · distance travelled),
    // 1/m. The shaft dashpots also reflect a little, which is why the trace sinks after the blow.
    float fShaftDamping = 0.02f;
    // Corner frequency of the soil (spring stiffness / dashpot), Hz: the springs pull the pile back
    // after the blow and bend the tail.
    float fSoilCorner = 60.f;
    // Toe from free (0: the toe echo has the sign of the blow) to fixed (1: the opposite sign); 0.5
    // matches the soil below to the pile and leaves no toe echo at all.
    float fToeFixity = 0.2f;
};

struct CBlowDescription {
    float fDuration = 1.0f;       // ms, half-sine contact time of the hammer (0.5 .. 2 for hand hammers)
    float fAmplitude = 100.f;     // peak head velocity of the blow itself, in the tester's raw units
    float fNoise = 0.01f;         // standard deviation of the sensor noise, as a fraction of fAmplitude
    float fOffset = 0.f;          // constant added to every sample (amplifier offset), raw units
    float fDrift = 0.f;           // change of the offset from the first to the last sample, raw units
    float fSampleInterval = 20.f; // µs
    int nHeadSample = 50;         // sample at which the hammer touches (pre-trigger samples before it)
    uint64_t nSeed = 1;           // noise seed: the same seed gives the same trace
};

// Usual severity and extent (m) of a defect kind, for a description that leaves them out; false for
// a code outside 1..7.
bool DefectDefaults(int type, float& severity, float& extent);

// Reads "DEPTH:TYPE[:SEVERITY[:EXTENT]]", TYPE a code 1..7 or its text ("缩径"). Returns "" or what
// is wrong with the text.
std::string ParseDefect(std::string_view text, CSimDefect& out);

// "" when every defect lies inside a pile of this length (below the head, above the toe), else the
// reason: a defect the pile cannot hold would be recorded as truth without being in the trace.
std::string CheckDefectDepths(const std::vector<CSimDefect>& defects, float length);

} // namespace pw
