// The wave model of a pile: a hammer force at the head, the velocity of the head as the answer.
#pragma once

#include <vector>

#include "sim/CImpedanceProfile.h"

namespace pw {

class CPileModel {
public:
    explicit CPileModel(CImpedanceProfile profile) : m_Profile(std::move(profile)) {}

    // Runs force[n] (N, applied at the head during step n, steps of the profile's cell travel time)
    // through the pile at rest and returns the head velocity (m/s) after every step. Steps past the
    // end of force apply no force.
    std::vector<double> Run(const std::vector<double>& force, int steps) const;

    const CImpedanceProfile& Profile() const { return m_Profile; }

private:
    CImpedanceProfile m_Profile;
};

} // namespace pw
