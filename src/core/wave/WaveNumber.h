#pragma once
// Linear dispersion relation sigma^2 = g k tanh(k h).
// T period (s), h depth (m), g gravity (m/s^2), k wavenumber (rad/m).

namespace orvane {

// Newton iteration from the deep-water guess until |dk/k| < 1e-5.
// T = 0 or h = 0 raises EZeroDivide; T < 0 or h < 0 raises EInvalidOp; a run past the
// step cap raises EConvergence. `steps`, when given, receives the number of Newton steps.
double WaveNumber(double T, double h, double g, int* steps = nullptr);

}  // namespace orvane
