#pragma once

namespace orvane {

// The constants that enter every wave formula. gamma_TG and B_TG belong to the
// Thornton-Guza model of the shoaling window; the other three to the main window.
struct PhysicalConstants {
    double gra = 9.80665;   // gravitational acceleration, m/s^2
    double SGfluid = 1.025; // seawater density, g/cm^3
    double RTp = 0.93;      // T1/3 / Tp
    double gamma_TG = 0.42; // Thornton-Guza breaking parameter
    double B_TG = 1.54;     // Thornton-Guza breaking coefficient
};

}  // namespace orvane
