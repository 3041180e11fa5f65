#pragma once
// Linear dispersion relation sigma^2 = g k tanh(k h).
// T period (s), h depth (m), g gravity (m/s^2), k wavenumber (rad/m).
#include <cstddef>
#include <exception>
#include <functional>

namespace orvane {

// Newton iteration from the deep-water guess until |dk/k| < 1e-5.
// T = 0, h = 0 or g = 0 raises EZeroDivide; a negative or NaN T, h or g raises EInvalidOp;
// a run past the step cap (4096) raises EConvergence. `steps`, when given, receives the number of Newton steps.
double WaveNumber(double T, double h, double g, int* steps = nullptr);

// One input of a batch: element i is data[i * step]; step 0 repeats one value.
struct BatchInput {
    const double* data;
    std::size_t step;
    double operator[](std::size_t i) const { return data[i * step]; }
};

// WaveNumber for n elements, each value bit for bit the scalar function's. A NaN input
// gives NaN (a missing sample); an element whose scalar call raises gives NaN and is
// passed to `failed` with its error. Elements take their Newton steps in blocks, so the
// tanh calls of a block overlap one another.
void WaveNumbers(BatchInput T, BatchInput h, BatchInput g, double* k, std::size_t n,
                 const std::function<void(std::size_t, std::exception_ptr)>& failed);

}  // namespace orvane
