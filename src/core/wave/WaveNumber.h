#pragma once
// Linear dispersion relation sigma^2 = g k tanh(k h).
// T period (s), h depth (m), g gravity (m/s^2), k wavenumber (rad/m).

namespace orvane {

// Newton iteration from the deep-water guess until |dk/k| < 1e-5.
// T = 0, h = 0 or g = 0 raises EZeroDivide; a negative or NaN T, h or g raises EInvalidOp;
// a run past the step cap (200) raises EConvergence. `steps`, when given, receives the number of Newton steps.
double WaveNumber(double T, double h, double g, int* steps = nullptr);

}  // namespace orvane
