// Pile response by the method of characteristics on a segmented impedance model.
//
// The pile is a 1-D rod cut into N cells that a longitudinal wave crosses in exactly one time step
// τ, so waves travel cell by cell without numerical dispersion. Each cell carries a downgoing force
// wave d and an upgoing one u (compression positive, velocity positive downward), with F = d + u and
// v = (d - u) / Z. At every joint the waves arriving from above (a) and below (b) meet a massless
// node held by the soil (dashpot R, spring K at displacement x):
//     v = (2a - 2b - K·x) / (Z_above + Z_below + R),  up-going out = a - Z_above·v,
//     down-going out = b + Z_below·v.
// A fall of impedance thus returns a wave of the blow's velocity sign, a rise the opposite sign,
// 2z/c after the blow; the dashpots take energy from every wave that passes, exponentially with
// distance travelled. The head is free with the hammer force F(t) on it: v = (F - 2u) / Z_0. The toe
// is a node with the toe dashpot and spring and nothing below (a fixed toe does not move).
#include "sim/CPileModel.h"

namespace pw {

std::vector<double> CPileModel::Run(const std::vector<double>& force, int steps) const {
    const CImpedanceProfile& p = m_Profile;
    const int n = p.CellCount();
    const double tau = p.m_fTau;
    // d[i] leaves the top of cell i and reaches its bottom one step later; u[i] leaves its bottom
    // and reaches its top. Both are updated from the values of the previous step.
    std::vector<double> d(static_cast<std::size_t>(n), 0.), u(d), dNext(d), uNext(d), x(d);
    double xToe = 0.;
    std::vector<double> head;
    head.reserve(static_cast<std::size_t>(std::max(steps, 0)));
    for (int step = 0; step < steps; ++step) {
        // Head.
        const double f = step < static_cast<int>(force.size()) ? force[static_cast<std::size_t>(step)] : 0.;
        dNext[0] = f - u[0];
        head.push_back((f - 2. * u[0]) / p.m_fZ[0]);
        // Joints between cells.
        for (int j = 1; j < n; ++j) {
            const double a = d[j - 1], b = u[j];
            const double za = p.m_fZ[j - 1], zb = p.m_fZ[j];
            const double v = (2. * (a - b) - p.m_fShaftK[j] * x[j]) / (za + zb + p.m_fShaftR[j]);
            x[j] += v * tau;
            uNext[j - 1] = a - za * v;
            dNext[j] = b + zb * v;
        }
        // Toe.
        const double a = d[n - 1], z = p.m_fZ[n - 1];
        double v = 0.;
        if (!p.m_bToeFixed) {
            v = (2. * a - p.m_fToeK * xToe) / (z + p.m_fToeR);
            xToe += v * tau;
        }
        uNext[n - 1] = a - z * v;
        d.swap(dNext);
        u.swap(uNext);
    }
    return head;
}

} // namespace pw
