#pragma once
// The few mathematical constants the computations share, written out once.

namespace orvane {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 6.283185307179586477;
inline constexpr double kOnePointFivePi = 4.712388980384689858;
inline constexpr double kTwoPiOver50 = 0.12566370614359172954;
inline constexpr double kTwoSqrt3 = 3.46410161513775458705;

}  // namespace orvane
