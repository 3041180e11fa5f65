#pragma once
// Small-amplitude (linear, Airy) wave properties.
// h depth (m), T period (s), H height (m), z height above the sea bed (m),
// k wavenumber (rad/m), sigma = 2 pi / T (rad/s), L length (m), L0 deep-water length (m).
#include <array>
#include <string>

#include "core/app/PhysicalConstants.h"

namespace orvane {

struct SmallAmplitudeWave {
    double k = 0, L = 0, L0 = 0, n = 0;
    double c = 0;   // phase speed (m/s)
    double Cg = 0;  // group speed (m/s)
    double Ks = 0;  // shoaling coefficient
    double F = 0;   // energy flux per metre of crest (W/m)
    double u = 0;   // horizontal orbital velocity amplitude at z (m/s)
    double w = 0;   // vertical orbital velocity amplitude at z (m/s)
};

// Computes from numbers. Errors: those of WaveNumber, EZeroDivide for T = 0, EOverflow
// when z lies so far outside the water column that the velocity leaves the double range.
SmallAmplitudeWave ComputeSmallAmplitudeWave(double h, double T, double H, double z,
                                             const PhysicalConstants& constants);

// The window's calculation from the four box texts, converting in the window's order
// (depth, period, height, then the height above the bed after the wave length), so the
// first error is the one the window reports.
SmallAmplitudeWave ComputeSmallAmplitudeWave(const std::string& depthText,
                                             const std::string& periodText,
                                             const std::string& heightText,
                                             const std::string& bedHeightText,
                                             const PhysicalConstants& constants);

struct SmallAmplitudeLabel {
    const char* name;     // objectName of the result label
    const char* caption;  // the caption shown before it
    std::string text;     // the value as the label shows it
};

// The seven result labels, in window order: length, phase speed, group speed, shoaling
// coefficient (3 decimals, 15 digits), energy flux (0 decimals), the two velocities
// (3 decimals, 10 digits).
std::array<SmallAmplitudeLabel, 7> SmallAmplitudeLabels(const SmallAmplitudeWave& wave);

}  // namespace orvane
