#include "core/runtime/Errors.h"

#include <cmath>

namespace orvane {

EZeroDivide::EZeroDivide() : EMathError("0 による浮動小数点数除算") {}
EInvalidOp::EInvalidOp() : EMathError("不正な浮動小数点数演算命令") {}
EOverflow::EOverflow() : EMathError("浮動小数点数オーバーフロー") {}

void RaiseForNonFinite(double result) {
    if (std::isnan(result)) throw EInvalidOp();
    throw EOverflow();
}

double CheckedDivChecks(double numerator, double denominator) {
    if (std::isnan(numerator) || std::isnan(denominator)) throw EInvalidOp();
    if (denominator == 0.0) {
        // 0/0 has no value at all; x/0 is the classic division by zero.
        if (numerator == 0.0) throw EInvalidOp();
        throw EZeroDivide();
    }
    if (std::isinf(numerator) && std::isinf(denominator)) throw EInvalidOp();
    double q = numerator / denominator;
    if (std::isinf(q) && !std::isinf(numerator)) throw EOverflow();
    return q;
}

double CheckedSqrt(double x) {
    if (std::isnan(x) || x < 0.0) throw EInvalidOp();
    return std::sqrt(x);
}

double CheckedLog(double x) {
    if (std::isnan(x) || x < 0.0) throw EInvalidOp();
    if (x == 0.0) throw EZeroDivide();
    return std::log(x);
}

double CheckedPow(double base, double exponent) {
    if (std::isnan(base) || std::isnan(exponent)) throw EInvalidOp();
    if (base < 0.0 && std::trunc(exponent) != exponent) throw EInvalidOp();
    if (base == 0.0 && exponent < 0.0) throw EZeroDivide();
    double r = std::pow(base, exponent);
    if (std::isinf(r) && !std::isinf(base) && !std::isinf(exponent)) throw EOverflow();
    return CheckResult(r);
}

std::string MessageExcerpt(const std::string& text) {
    constexpr std::size_t kMax = 40;
    if (text.size() <= kMax) return text;
    std::size_t cut = kMax;
    // Back to the start of a UTF-8 character (at most three continuation bytes).
    for (int i = 0; i < 3 && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80; ++i) --cut;
    return text.substr(0, cut) + "…";
}

}  // namespace orvane
