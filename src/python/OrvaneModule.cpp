// The Python module `orvane`: converts Python and NumPy values, calls the core, converts
// the results back. Nothing is computed here. One file per subject: Common.cpp (errors),
// Calculators.cpp, Shoaling.cpp, SeriesTools.cpp, SeriesFiles.cpp.
#include "python/Binding.h"

#ifndef ORVANE_VERSION
#define ORVANE_VERSION "0"
#endif

using namespace orvane::pymodule;

PYBIND11_MODULE(_orvane, m) {
    m.doc() = "Coastal wave analysis: wavenumber, small-amplitude waves, Rayleigh amplitudes, "
              "bottom velocity, shoaling over a bed, and the SDF/TSD series tools. SI units "
              "throughout (m, s, m/s). Every number is the program's own (the same core).";
    m.attr("__version__") = ORVANE_VERSION;

    BindErrors(m);
    BindCalculators(m);
    BindShoaling(m);
    BindSeriesTools(m);
    BindSeriesFiles(m);
}
