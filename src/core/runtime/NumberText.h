#pragma once
// The one place where numbers are parsed from and written to text.
#include <cstdint>
#include <string>

namespace orvane {

// Standard text-to-number conversion ('.' decimal separator, surrounding blanks allowed,
// exponent allowed). Raises EConvertError "'%s' は浮動小数点数ではありません".
double StrToFloat(const std::string& text);
// Raises EConvertError "'%s' は整数ではありません".
int StrToInt(const std::string& text);
// Non-throwing variants.
bool TryStrToFloat(const std::string& text, double& value);
bool TryStrToInt(const std::string& text, int& value);

// General format with `digits` significant digits (7 for the general 7-digit format):
// trailing zeros dropped, fixed when 0.0001 <= |rounded| < 10^digits, else "1.234568E7".
std::string FormatGeneral(double value, int digits = 7);
// Shortest general form with up to 15 significant digits (values written back into boxes).
std::string FormatShortest(double value);
// Fixed notation with `decimals` decimals. A value that rounds to zero is printed
// without a minus sign ("0.000", never "-0.000").
std::string FormatFixed(double value, int decimals);
// The same with at most `significant` significant digits (labels state both; the
// two-argument form uses 15): one rounding at whichever limit keeps fewer digits, halves
// away from zero; places below the significant digits are printed as zeros.
std::string FormatFixed(double value, int decimals, int significant);

// Round to nearest, halves to even. NaN, infinities and values outside int64 raise
// EInvalidOp.
std::int64_t RoundHalfEven(double value);

}  // namespace orvane
