#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"

using namespace orvane;

namespace {

template <typename F>
std::string ErrorText(F f) {
    try {
        f();
    } catch (const OrvaneError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST(NumberText, GeneralFormatOfFileValues) {
    EXPECT_EQ(FormatGeneral(1.5e-6), "1.5E-6");
    EXPECT_EQ(FormatGeneral(12345678.0), "1.234568E7");
    EXPECT_EQ(FormatGeneral(1e-5), "1E-5");
    EXPECT_EQ(FormatGeneral(0.01), "0.01");
    EXPECT_EQ(FormatGeneral(1234567.0), "1234567");
    EXPECT_EQ(FormatGeneral(0.0001), "0.0001");
    EXPECT_EQ(FormatGeneral(-0.5), "-0.5");
    EXPECT_EQ(FormatGeneral(0.0), "0");
    EXPECT_EQ(FormatGeneral(-0.0), "0");
    EXPECT_EQ(FormatGeneral(100.0), "100");
    EXPECT_EQ(FormatGeneral(-2.5e12), "-2.5E12");
    // 7-digit rounding, including a carry into a new leading digit and over the
    // fixed/scientific boundary.
    EXPECT_EQ(FormatGeneral(3.14159265), "3.141593");
    EXPECT_EQ(FormatGeneral(9.9999999), "10");
    EXPECT_EQ(FormatGeneral(9999999.6), "1E7");
    EXPECT_EQ(FormatGeneral(0.000099999999), "0.0001");
    EXPECT_EQ(FormatGeneral(0.00009999), "9.999E-5");
    EXPECT_EQ(FormatGeneral(1.0 / 3.0, 4), "0.3333");
}

TEST(NumberText, ShortestFormWritesBackWhatWasMeant) {
    EXPECT_EQ(FormatShortest(9.80665), "9.80665");
    EXPECT_EQ(FormatShortest(1.0), "1");
    EXPECT_EQ(FormatShortest(9.81), "9.81");
    EXPECT_EQ(FormatShortest(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatShortest(1.025), "1.025");
    EXPECT_EQ(FormatShortest(123456789012345.0), "123456789012345");
    EXPECT_EQ(FormatShortest(1e15), "1E15");
    for (double v : {9.80665, 0.93, 1.54, 0.42, 1.025, 1e-7, 6.02e23})
        EXPECT_EQ(StrToFloat(FormatShortest(v)), v) << v;
}

TEST(NumberText, FixedFormatOfLabels) {
    EXPECT_EQ(FormatFixed(92.35585, 3), "92.356");
    EXPECT_EQ(FormatFixed(10136.7, 0), "10137");
    EXPECT_EQ(FormatFixed(0.0, 3), "0.000");
    EXPECT_EQ(FormatFixed(-0.0004, 3), "0.000");
    EXPECT_EQ(FormatFixed(-0.0, 3), "0.000");
    EXPECT_EQ(FormatFixed(-0.0006, 3), "-0.001");
    EXPECT_EQ(FormatFixed(-1.5, 0), "-2");
    EXPECT_EQ(FormatFixed(0.9996, 3), "1.000");
    EXPECT_EQ(FormatFixed(999.9996, 3), "1000.000");
    EXPECT_EQ(FormatFixed(12345678901.25, 1), "12345678901.3");
    EXPECT_EQ(FormatFixed(0.5, 0), "1");
    EXPECT_EQ(FormatFixed(2.0, 2), "2.00");
    // One rounding at the tighter limit, never a second one on a rounded half.
    EXPECT_EQ(FormatFixed(0.12345, 3, 4), "0.123");
    EXPECT_EQ(FormatFixed(1.12249966, 3, 7), "1.122");
    EXPECT_EQ(FormatFixed(2.0954867, 3, 5), "2.095");
    EXPECT_EQ(FormatFixed(1.18646975, 3, 5), "1.186");
    EXPECT_EQ(FormatFixed(1.5714584, 3, 7), "1.571");
    EXPECT_EQ(FormatFixed(1234.5678, 3, 5), "1234.600");
    EXPECT_EQ(FormatFixed(9.99996, 6, 5), "10.000000");
    EXPECT_EQ(FormatFixed(0.125, 2, 7), "0.13");
    EXPECT_EQ(FormatFixed(0.12345, 3, 10), "0.123");
}

TEST(NumberText, ANulInAFieldDoesNotCutTheMessage) {
    try {
        StrToFloat(std::string("1\0" "5", 3));
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'1<NUL>5' は浮動小数点数ではありません");
    }
}

TEST(NumberText, RoundHalfEven) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
    EXPECT_EQ(RoundHalfEven(-32767.4), -32767);
    EXPECT_THROW(RoundHalfEven(std::nan("")), EInvalidOp);
    EXPECT_THROW(RoundHalfEven(1e19), EInvalidOp);
}

TEST(NumberText, ParsingAcceptsOnlyPlainDecimalNumbers) {
    EXPECT_EQ(StrToFloat("9.81"), 9.81);
    EXPECT_EQ(StrToFloat("  -1.5e-3 "), -1.5e-3);
    EXPECT_EQ(StrToFloat("+2"), 2.0);
    EXPECT_EQ(StrToFloat(".5"), 0.5);
    EXPECT_EQ(StrToFloat("5."), 5.0);
    EXPECT_EQ(StrToFloat("1E5"), 1e5);
    for (const char* bad : {"", " ", "abc", "1,5", "1.5x", "inf", "nan", "0x10", "1e", "e5",
                            "--1", "1e400", ".", "1 2"}) {
        double v = 7;
        EXPECT_FALSE(TryStrToFloat(bad, v)) << bad;
        EXPECT_EQ(v, 7);
    }
    EXPECT_EQ(ErrorText([] { StrToFloat("abc"); }), "'abc' は浮動小数点数ではありません");
    EXPECT_EQ(ErrorText([] { StrToFloat(""); }), "'' は浮動小数点数ではありません");
    EXPECT_THROW(StrToFloat("x"), EConvertError);

    EXPECT_EQ(StrToInt("-1"), -1);
    EXPECT_EQ(StrToInt(" 42 "), 42);
    EXPECT_EQ(StrToInt("+3"), 3);
    for (const char* bad : {"", "1.0", "2147483648", "12a", "++1", "-"}) {
        int v = 7;
        EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
    }
    EXPECT_EQ(ErrorText([] { StrToInt(""); }), "'' は整数ではありません");
    EXPECT_EQ(ErrorText([] { StrToInt("1.5"); }), "'1.5' は整数ではありません");
}

TEST(Errors, CheckedArithmeticRaisesTheFloatingPointErrors) {
    EXPECT_EQ(CheckedDiv(1, 4), 0.25);
    EXPECT_EQ(ErrorText([] { CheckedDiv(1, 0); }), "0 による浮動小数点数除算");
    EXPECT_EQ(ErrorText([] { CheckedDiv(0, 0); }), "不正な浮動小数点数演算命令");
    EXPECT_EQ(ErrorText([] { CheckedDiv(1e300, 1e-300); }), "浮動小数点数オーバーフロー");
    EXPECT_THROW(CheckedDiv(-1, -0.0), EZeroDivide);
    EXPECT_THROW(CheckedSqrt(-1e-300), EInvalidOp);
    EXPECT_EQ(CheckedSqrt(0), 0);
    EXPECT_THROW(CheckedLog(0), EZeroDivide);
    EXPECT_THROW(CheckedLog(-1), EInvalidOp);
    EXPECT_THROW(CheckedPow(-8, 1.0 / 3.0), EInvalidOp);
    EXPECT_EQ(CheckedPow(-2, 3), -8);
    EXPECT_THROW(CheckedPow(0, -1), EZeroDivide);
    EXPECT_THROW(CheckedPow(10, 400), EOverflow);
    EXPECT_THROW(CheckResult(std::exp(1000.0)), EOverflow);
    EXPECT_THROW(CheckResult(std::nan("")), EInvalidOp);
}
