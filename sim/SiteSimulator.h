// A whole test site: piles described briefly, the rest drawn from seeded scatter, each pile struck
// one or more times; the result is a project as the tester's data would make it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/ProjectFile.h"
#include "sim/PileDescription.h"

namespace pw {

// One pile of a site. Zero (or negative) numbers mean "the site's value, with its scatter".
struct CSitePile {
    std::string strName;         // UTF-8, "1#", "A-12"
    float fLength = 0.f;         // m, required
    float fWaveSpeed = 0.f;      // m/s
    float fDiameter = 0.f;       // mm
    int nPileType = -1;          // pile-type code
    float fSampleInterval = 0.f; // µs; 0 = the smallest of 10, 20, 25 that shows the toe echo well
    float fToeFixity = -1.f;     // 0 free .. 1 fixed
    float fShaftDamping = -1.f;  // 1/m
    std::string strDate;         // UTF-8; "" = the site's date
    std::vector<CSimDefect> defects;
    int nBlows = 1; // records of this pile (same name, one after the other)
};

struct CSiteDescription {
    std::string strSite = "SITE1"; // folder name of the site on the tester
    std::string strTestUnit;       // UTF-8
    std::string strProjectName;    // UTF-8
    std::string strDate = "2024-05-11";
    uint64_t nSeed = 1;
    float fWaveSpeed = 3800.f;  // m/s, the site's concrete
    float fSpeedScatter = 80.f; // m/s, standard deviation from pile to pile
    float fDiameter = 800.f;    // mm
    int nPileType = 1;
    float fSampleInterval = 0.f; // µs, 0 = chosen per pile
    float fToeFixity = 0.25f;
    float fShaftDamping = 0.025f;
    float fNoise = 0.01f;
    std::vector<CSitePile> piles;
};

// The sampling interval a pile of this length and speed is recorded with when none is given: the
// smallest of 10, 20 and 25 µs whose record holds the toe echo within its first 60 %.
float ChooseSampleInterval(float length, float speed);

// Records numbered 1..N in the order of the description, repeated blows of a pile next to each
// other; the header with the site's texts. The same description always gives the same project.
// Returns "" or what is wrong with the description (then out is left empty).
std::string SimulateSite(const CSiteDescription& site, CProjectData& out);

} // namespace pw
