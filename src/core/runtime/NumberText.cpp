#include "core/runtime/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/runtime/Errors.h"

namespace orvane {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Accepts [sign] digits [. digits] [E [sign] digits], with at least one mantissa digit;
// nothing else (no "inf", "nan", hex, thousands separators or a ',' decimal mark).
bool IsDecimalReal(std::string_view s) {
    std::size_t i = 0, n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < n && IsDigit(s[i])) { ++i; ++digits; }
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && IsDigit(s[i])) { ++i; ++digits; }
    }
    if (digits == 0) return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < n && IsDigit(s[i])) { ++i; ++expDigits; }
        if (expDigits == 0) return false;
    }
    return i == n;
}

// Splits "%.*e" output into its digit string (no point) and decimal exponent.
struct Decimal {
    bool negative = false;
    std::string digits;  // first digit non-zero unless the value is zero
    int exponent = 0;    // value = 0.d1d2d3... * 10^(exponent + 1), i.e. d1 is at 10^exponent
};

Decimal ToDecimal(double value, int significant) {
    char buf[800];
    std::snprintf(buf, sizeof buf, "%.*e", significant - 1, value);
    Decimal d;
    const char* p = buf;
    if (*p == '-') { d.negative = true; ++p; }
    for (; *p && *p != 'e'; ++p)
        if (IsDigit(*p)) d.digits.push_back(*p);
    if (*p == 'e') d.exponent = std::atoi(p + 1);
    return d;
}

void StripTrailingZeros(std::string& digits) {
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
}

std::string NonFinite(double value) {
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

}  // namespace

bool TryStrToFloat(const std::string& text, double& value) {
    std::string_view s = Trim(text);
    if (!IsDecimalReal(s)) return false;
    if (s.front() == '+') s.remove_prefix(1);
    double v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || ptr != s.data() + s.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

double StrToFloat(const std::string& text) {
    double v = 0;
    if (!TryStrToFloat(text, v)) throw EConvertError("'" + MessageExcerpt(text) + "' は浮動小数点数ではありません");
    return v;
}

bool TryStrToInt(const std::string& text, int& value) {
    std::string_view s = Trim(text);
    if (s.empty()) return false;
    if (s.front() == '+') s.remove_prefix(1);
    if (s.empty() || s.front() == '+') return false;
    int v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || ptr != s.data() + s.size()) return false;
    value = v;
    return true;
}

int StrToInt(const std::string& text) {
    int v = 0;
    if (!TryStrToInt(text, v)) throw EConvertError("'" + MessageExcerpt(text) + "' は整数ではありません");
    return v;
}

std::string FormatGeneral(double value, int digits) {
    if (!std::isfinite(value)) return NonFinite(value);
    if (digits < 1) digits = 1;
    if (digits > 17) digits = 17;
    if (value == 0.0) return "0";
    Decimal d = ToDecimal(value, digits);
    StripTrailingZeros(d.digits);
    std::string out = d.negative ? "-" : "";
    // Fixed notation for 0.0001 <= |rounded| < 10^digits.
    if (d.exponent >= -4 && d.exponent < digits) {
        if (d.exponent < 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
            out += d.digits;
        } else {
            std::size_t intLen = static_cast<std::size_t>(d.exponent) + 1;
            if (d.digits.size() <= intLen) {
                out += d.digits;
                out.append(intLen - d.digits.size(), '0');
            } else {
                out += d.digits.substr(0, intLen);
                out += '.';
                out += d.digits.substr(intLen);
            }
        }
        return out;
    }
    out += d.digits[0];
    if (d.digits.size() > 1) {
        out += '.';
        out += d.digits.substr(1);
    }
    out += 'E';
    out += std::to_string(d.exponent);
    return out;
}

std::string FormatShortest(double value) { return FormatGeneral(value, 15); }

std::string FormatFixed(double value, int decimals) { return FormatFixed(value, decimals, 15); }

std::string FormatFixed(double value, int decimals, int significant) {
    if (!std::isfinite(value)) return NonFinite(value);
    if (decimals < 0) decimals = 0;
    if (decimals > 30) decimals = 30;
    if (significant < 1) significant = 1;
    if (significant > 17) significant = 17;

    // One rounding of the exact binary value, at whichever limit keeps fewer digits;
    // rounding twice would turn 1.12249966 into 1.1225 and then 1.123.
    // 770 digits hold every double exactly, so a half is a true half.
    Decimal d = ToDecimal(value, 770);
    int last = std::max(-decimals, d.exponent - significant + 1);  // power of ten kept last
    int top = std::max(d.exponent, 0);
    std::string aligned;  // digits from 10^top down to 10^last
    for (int pos = top; pos >= last; --pos) {
        int idx = d.exponent - pos;
        aligned.push_back((idx >= 0 && idx < static_cast<int>(d.digits.size())) ? d.digits[idx] : '0');
    }
    int guard = d.exponent - (last - 1);
    bool roundUp = guard >= 0 && guard < static_cast<int>(d.digits.size()) && d.digits[guard] >= '5';
    if (roundUp) {
        int i = static_cast<int>(aligned.size()) - 1;
        while (i >= 0 && aligned[i] == '9') { aligned[i] = '0'; --i; }
        if (i >= 0) ++aligned[i];
        else aligned.insert(aligned.begin(), '1');
    }
    aligned.append(static_cast<std::size_t>(last + decimals), '0');
    std::size_t intLen = aligned.size() - static_cast<std::size_t>(decimals);
    std::string intPart = aligned.substr(0, intLen);
    std::string fracPart = aligned.substr(intLen);
    std::size_t nz = intPart.find_first_not_of('0');
    if (nz == std::string::npos) intPart.assign(1, '0');
    else intPart.erase(0, nz);
    bool allZero = intPart == "0" && fracPart.find_first_not_of('0') == std::string::npos;
    std::string out = (d.negative && !allZero) ? "-" : "";
    out += intPart;
    if (decimals > 0) {
        out += '.';
        out += fracPart;
    }
    return out;
}

std::int64_t RoundHalfEven(double value) {
    if (!std::isfinite(value)) throw EInvalidOp();
    double r = std::nearbyint(value);  // the default rounding mode rounds halves to even
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (r >= 9223372036854775808.0 || r < -9223372036854775808.0) throw EInvalidOp();
    return static_cast<std::int64_t>(r);
}

}  // namespace orvane
