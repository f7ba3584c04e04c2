// Conversions between display points, time, depth, wave speed and pile length.
#include "dsp/Conversions.h"

#include "dsp/Round1.h"

#include <climits>
#include <cmath>

namespace pw {

namespace {

using Ld = long double;

std::optional<double> Finite(Ld v) {
    if (!std::isfinite(v)) return std::nullopt;
    return static_cast<double>(v);
}

// trunc toward zero, refused when the value is not finite or does not fit an int.
std::optional<int> TruncInt(Ld v) {
    if (!std::isfinite(v) || v <= static_cast<Ld>(INT_MIN) - 1 || v >= static_cast<Ld>(INT_MAX) + 1)
        return std::nullopt;
    return static_cast<int>(std::trunc(v));
}

// Divisors must be finite and non-zero; a sign is allowed through (the formula decides what it means).
bool UsableDivisor(Ld v) {
    return std::isfinite(v) && v != 0;
}

std::optional<double> Rounded(Ld v) {
    if (!std::isfinite(v)) return std::nullopt;
    return Round1(static_cast<double>(v));
}

} // namespace

std::optional<long double> PointsPerMetre(const TraceScale& s) {
    const Ld divisor = static_cast<Ld>(s.nSpeed) * s.fDt * s.nStep;
    if (!(divisor > 0) || !std::isfinite(divisor)) return std::nullopt;
    return 2000000.0L / divisor;
}

std::optional<double> TimeOfPoint(const TraceScale& s, int p) {
    return Finite(static_cast<Ld>(s.nStep) * s.fDt * p * 0.001f);
}

std::optional<double> DepthOfPoint(const TraceScale& s, int p) {
    return Rounded(static_cast<Ld>(s.nStep) * s.fDt * s.nSpeed * p * 5e-7);
}

std::optional<int> PointOfDepth(const TraceScale& s, double depth) {
    const Ld divisor = static_cast<Ld>(s.nStep) * s.nSpeed * s.fDt;
    if (!UsableDivisor(divisor)) return std::nullopt;
    return TruncInt(static_cast<Ld>(depth) * 2000000 / divisor);
}

std::optional<int> ToePoint(const TraceScale& s) {
    return PointOfDepth(s, s.fLength);
}

std::optional<int> SpeedFromToePoint(const TraceScale& s, int p) {
    const Ld divisor = static_cast<Ld>(s.nStep) * s.fDt * p;
    if (!UsableDivisor(divisor)) return std::nullopt;
    return TruncInt(static_cast<Ld>(s.fLength) * 2000000 / divisor);
}

std::optional<double> LengthFromSpeed(const TraceScale& s, double speed) {
    const std::optional<int> toe = ToePoint(s);
    if (!toe) return std::nullopt;
    return Rounded(static_cast<Ld>(s.nStep) * s.fDt * *toe * speed * 5e-7);
}

std::optional<int> SpeedFromLength(const TraceScale& s, double length) {
    const std::optional<int> toe = ToePoint(s);
    if (!toe) return std::nullopt;
    const Ld divisor = static_cast<Ld>(s.nStep) * s.fDt * *toe * 1e-6;
    if (!UsableDivisor(divisor)) return std::nullopt;
    return TruncInt((static_cast<Ld>(length) + length) / divisor);
}

} // namespace pw
