#include "core/runtime/DateTime.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>

#include "core/runtime/Errors.h"

namespace orvane {
namespace {

constexpr std::int64_t kMsPerDay = 86400000;

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Days from 0001-01-01 (proleptic Gregorian) to the given date.
std::int64_t DaysFromCivil(int y, int m, int d) {
    std::int64_t yy = y - 1;
    std::int64_t days = yy * 365 + yy / 4 - yy / 100 + yy / 400;
    for (int i = 1; i < m; ++i) days += DaysInMonth(y, i);
    return days + d - 1;
}
const std::int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

void CivilFromDays(std::int64_t days, int& y, int& m, int& d) {
    // Algorithm on 400-year cycles of 146097 days, from 0001-01-01.
    std::int64_t n400 = days / 146097; days %= 146097;
    std::int64_t n100 = days / 36524; if (n100 == 4) n100 = 3; days -= n100 * 36524;
    std::int64_t n4 = days / 1461; days %= 1461;
    std::int64_t n1 = days / 365; if (n1 == 4) n1 = 3; days -= n1 * 365;
    y = static_cast<int>(n400 * 400 + n100 * 100 + n4 * 4 + n1 + 1);
    m = 1;
    while (days >= DaysInMonth(y, m)) { days -= DaysInMonth(y, m); ++m; }
    d = static_cast<int>(days) + 1;
}

bool ValidParts(const DateTimeParts& p) {
    if (p.year < 1 || p.year > 9999 || p.month < 1 || p.month > 12) return false;
    if (p.day < 1 || p.day > DaysInMonth(p.year, p.month)) return false;
    return p.hour >= 0 && p.hour < 24 && p.minute >= 0 && p.minute < 60 && p.second >= 0 &&
           p.second < 60 && p.millisecond >= 0 && p.millisecond < 1000;
}

// A date-time as whole days and milliseconds into the day. Before the epoch the integer
// part counts days back and the fraction is still the time of day (-1.25 is 1899-12-29 06:00).
void Split(double dateTime, std::int64_t& days, std::int64_t& ms) {
    if (!std::isfinite(dateTime) || std::fabs(dateTime) > 3.0e6) throw EInvalidOp();
    double whole = std::trunc(dateTime);
    days = static_cast<std::int64_t>(whole);
    ms = static_cast<std::int64_t>(std::llround(std::fabs(dateTime - whole) * kMsPerDay));
    if (ms >= kMsPerDay) {  // rounding reached the next midnight
        ms -= kMsPerDay;
        days += dateTime < 0 ? -1 : 1;
    }
}

std::string Two(int v) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", v);
    return b;
}

// Reads 1..maxDigits digits at text[i]; false when none.
bool ReadNumber(const std::string& t, std::size_t& i, int maxDigits, int& value) {
    int n = 0;
    value = 0;
    while (i < t.size() && n < maxDigits && t[i] >= '0' && t[i] <= '9') {
        value = value * 10 + (t[i] - '0');
        ++i;
        ++n;
    }
    return n > 0;
}

}  // namespace

double EncodeDateTime(const DateTimeParts& p) {
    if (!ValidParts(p)) {
        char b[80];
        std::snprintf(b, sizeof b, "%04d/%02d/%02d %02d:%02d:%02d", p.year, p.month, p.day,
                      p.hour, p.minute, p.second);
        throw EConvertError(std::string("'") + b + "' は正しい日付と時刻ではありません");
    }
    double days = static_cast<double>(DaysFromCivil(p.year, p.month, p.day) - kEpochDays);
    double time = (((p.hour * 60.0 + p.minute) * 60.0 + p.second) * 1000.0 + p.millisecond) /
                  static_cast<double>(kMsPerDay);
    return days >= 0 ? days + time : days - time;
}

DateTimeParts DecodeDateTime(double dateTime) {
    std::int64_t days = 0, ms = 0;
    Split(dateTime, days, ms);
    DateTimeParts p;
    std::int64_t civil = days + kEpochDays;
    if (civil < 0) civil = 0;
    CivilFromDays(civil, p.year, p.month, p.day);
    p.millisecond = static_cast<int>(ms % 1000);
    std::int64_t s = ms / 1000;
    p.second = static_cast<int>(s % 60);
    p.minute = static_cast<int>((s / 60) % 60);
    p.hour = static_cast<int>(s / 3600);
    return p;
}

std::string FormatDateTime(double dateTime) {
    DateTimeParts p = DecodeDateTime(dateTime);
    char b[64];
    std::snprintf(b, sizeof b, "%04d/%02d/%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                  p.minute, p.second);
    return b;
}

std::string FormatTimeOfDay(double dateTime) {
    DateTimeParts p = DecodeDateTime(dateTime);
    return Two(p.hour) + ":" + Two(p.minute) + ":" + Two(p.second);
}

double ParseDateTime(const std::string& text) {
    auto fail = [&]() -> double {
        throw EConvertError("'" + text + "' は正しい日付と時刻ではありません");
    };
    std::size_t i = 0;
    const std::string& t = text;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
    DateTimeParts p;
    if (!ReadNumber(t, i, 4, p.year) || i >= t.size() || t[i++] != '/') return fail();
    if (!ReadNumber(t, i, 2, p.month) || i >= t.size() || t[i++] != '/') return fail();
    if (!ReadNumber(t, i, 2, p.day)) return fail();
    p.hour = p.minute = p.second = 0;
    std::size_t afterDate = i;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
    if (i < t.size()) {
        if (i == afterDate) return fail();  // the time must be separated by a blank
        if (!ReadNumber(t, i, 2, p.hour) || i >= t.size() || t[i++] != ':') return fail();
        if (!ReadNumber(t, i, 2, p.minute)) return fail();
        if (i < t.size() && t[i] == ':') {
            ++i;
            if (!ReadNumber(t, i, 2, p.second)) return fail();
            if (i < t.size() && t[i] == '.') {
                ++i;
                int ms = 0;
                std::size_t start = i;
                if (!ReadNumber(t, i, 3, ms)) return fail();
                for (std::size_t n = i - start; n < 3; ++n) ms *= 10;
                p.millisecond = ms;
            }
        }
        while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
        if (i != t.size()) return fail();
    }
    if (!ValidParts(p)) return fail();
    return EncodeDateTime(p);
}

double NowDateTime() {
    std::timespec ts{};
    std::timespec_get(&ts, TIME_UTC);
    std::tm local{};
    localtime_r(&ts.tv_sec, &local);
    DateTimeParts p;
    p.year = local.tm_year + 1900;
    p.month = local.tm_mon + 1;
    p.day = local.tm_mday;
    p.hour = local.tm_hour;
    p.minute = local.tm_min;
    p.second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second
    p.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
    return EncodeDateTime(p);
}

}  // namespace orvane
