#pragma once
// Date-times are days since 1899-12-30 00:00 local time; the fraction is the time of day.
#include <string>

namespace orvane {

struct DateTimeParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Raises EConvertError for an impossible date or time.
double EncodeDateTime(const DateTimeParts& parts);
DateTimeParts DecodeDateTime(double dateTime);
// "yyyy/mm/dd hh:nn:ss"
std::string FormatDateTime(double dateTime);
// "hh:nn:ss" of the time of day.
std::string FormatTimeOfDay(double dateTime);
// Accepts "yyyy/mm/dd hh:nn:ss" (seconds optional, date alone allowed);
// raises EConvertError "'%s' は正しい日付と時刻ではありません".
double ParseDateTime(const std::string& text);
// The local date and time now.
double NowDateTime();

}  // namespace orvane
