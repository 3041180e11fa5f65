#pragma once
// Errors that reach the user. The message is the Japanese text shown in the standard
// error box (windows) or printed on stderr (command line).
#include <cmath>
#include <stdexcept>
#include <string>

namespace orvane {

class OrvaneError : public std::runtime_error {
public:
    explicit OrvaneError(const std::string& message) : std::runtime_error(ShowNul(message)) {}
private:
    // what() is a C string: a NUL from a file's bytes would end the message there.
    static std::string ShowNul(std::string text) {
        for (std::size_t at = text.find('\0'); at != std::string::npos; at = text.find('\0', at + 5))
            text.replace(at, 1, "<NUL>");
        return text;
    }
};

// `text` for quoting in a message: at most 40 bytes, cut at a character boundary and
// marked with "…" when longer, so that a huge field from a file never fills the screen.
std::string MessageExcerpt(const std::string& text);

// Text that is not a number: "'%s' は浮動小数点数ではありません" / "'%s' は整数ではありません".
class EConvertError : public OrvaneError { using OrvaneError::OrvaneError; };
// Arithmetic that is undefined for the inputs: one of the three below.
class EMathError : public OrvaneError { using OrvaneError::OrvaneError; };
// "0 による浮動小数点数除算"
class EZeroDivide : public EMathError { public: EZeroDivide(); };
// "不正な浮動小数点数演算命令"
class EInvalidOp : public EMathError { public: EInvalidOp(); };
// "浮動小数点数オーバーフロー"
class EOverflow : public EMathError { public: EOverflow(); };
// File access failures; the message names what failed. Errno() is the system's reason
// when there is one (0 otherwise).
class EInOutError : public OrvaneError {
public:
    explicit EInOutError(const std::string& message, int err = 0) : OrvaneError(message), err_(err) {}
    int Errno() const { return err_; }
private:
    int err_;
};
// A loop that ran past its cap: a computation that does not converge.
class EConvergence : public OrvaneError { using OrvaneError::OrvaneError; };

// Divides, raising EZeroDivide for a zero divisor (we never rely on FP traps); 0/0 and
// inf/inf raise EInvalidOp, a finite quotient too large for a double EOverflow.
// Inline for the common case, a finite quotient of a non-zero divisor; everything else
// goes through the full checks.
double CheckedDivChecks(double numerator, double denominator);
inline double CheckedDiv(double numerator, double denominator) {
    const double q = numerator / denominator;
    if (denominator != 0.0 && std::isfinite(q)) [[likely]] return q;
    return CheckedDivChecks(numerator, denominator);
}
// sqrt / log / pow with domain checks raising EInvalidOp (log(0) and pow(0, negative)
// raise EZeroDivide, an infinite result from finite inputs EOverflow).
double CheckedSqrt(double x);
double CheckedLog(double x);
double CheckedPow(double base, double exponent);
// Returns `result` when finite; NaN raises EInvalidOp, an infinity EOverflow. For results
// of exp, sinh, cosh and products that may leave the range of a double.
[[noreturn]] void RaiseForNonFinite(double result);
inline double CheckResult(double result) {
    if (!std::isfinite(result)) [[unlikely]] RaiseForNonFinite(result);
    return result;
}

}  // namespace orvane
