// Conversions between display points, time, depth, wave speed and pile length (depth = c·t/2, two-way
// travel). Pure functions of the record's step, sampling interval, wave speed and length.
#pragma once

#include <optional>

namespace pw {

// The record fields the conversions read, with the record's own types so products see the same values.
struct TraceScale {
    int nStep = 1;        // samples per display point
    float fDt = 0.0f;     // sampling interval, microseconds
    int nSpeed = 0;       // wave speed c, m/s
    float fLength = 0.0f; // pile length L, m
};

// Every function computes its products left to right in long double. Values come from files, so each
// returns nullopt instead of dividing by zero, converting a NaN/infinity to an integer, or leaving the
// int range; callers keep their previous value then (the range checks 100..10000 m/s and 0.5..200 m
// are the callers').

// Display points per metre of depth: 2,000,000 / (c · dt · step). nullopt unless positive and finite.
std::optional<long double> PointsPerMetre(const TraceScale& s);

// Time of point p after the head in ms: step · dt · p · 0.001f (the single-precision 0.001).
std::optional<double> TimeOfPoint(const TraceScale& s, int p);

// Depth of point p in m: step · dt · c · p · 5e-7, rounded to one decimal (halves away from zero).
std::optional<double> DepthOfPoint(const TraceScale& s, int p);

// Display points of depth d: trunc(d · 2,000,000 / (step · c · dt)).
std::optional<int> PointOfDepth(const TraceScale& s, double depth);

// Display points from head to toe: PointOfDepth(L).
std::optional<int> ToePoint(const TraceScale& s);

// Wave speed that puts the toe at point p: trunc(L · 2,000,000 / (step · dt · p)).
std::optional<int> SpeedFromToePoint(const TraceScale& s, int p);

// Length for speed c' that keeps the toe where it is: round1(step · dt · ToePoint · c' · 5e-7).
std::optional<double> LengthFromSpeed(const TraceScale& s, double speed);

// Speed for length L' that keeps the toe where it is: trunc((L' + L') / (step · dt · ToePoint · 1e-6)).
std::optional<int> SpeedFromLength(const TraceScale& s, double length);

} // namespace pw
