#include <gtest/gtest.h>

#include "core/runtime/DateTime.h"
#include "core/runtime/Errors.h"

using namespace orvane;

TEST(DateTime, DayCountFromTheEpoch) {
    EXPECT_EQ(EncodeDateTime({1899, 12, 30, 0, 0, 0, 0}), 0.0);
    EXPECT_EQ(EncodeDateTime({1900, 1, 1, 0, 0, 0, 0}), 2.0);
    EXPECT_EQ(EncodeDateTime({2000, 1, 1, 0, 0, 0, 0}), 36526.0);
    EXPECT_EQ(EncodeDateTime({2000, 3, 1, 12, 0, 0, 0}), 36586.5);  // after Feb 29
    EXPECT_EQ(EncodeDateTime({1899, 12, 29, 6, 0, 0, 0}), -1.25);
    DateTimeParts p = DecodeDateTime(-1.25);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 6);
    EXPECT_THROW(EncodeDateTime({2001, 2, 29, 0, 0, 0, 0}), EConvertError);
    EXPECT_THROW(EncodeDateTime({2000, 1, 1, 24, 0, 0, 0}), EConvertError);
}

TEST(DateTime, FormatAndParseRoundTrip) {
    double t = EncodeDateTime({2003, 8, 14, 10, 0, 0, 0});
    EXPECT_EQ(FormatDateTime(t), "2003/08/14 10:00:00");
    EXPECT_EQ(ParseDateTime("2003/08/14 10:00:00"), t);
    EXPECT_EQ(FormatTimeOfDay(t + 1.5 / 24), "11:30:00");
    // Every second of a day and dates across leap years survive format and parse.
    for (int s = 0; s < 86400; s += 7) {
        double v = EncodeDateTime({2024, 2, 29, s / 3600, (s / 60) % 60, s % 60, 0});
        ASSERT_EQ(ParseDateTime(FormatDateTime(v)), v) << s;
    }
    for (int day = -800; day < 80000; day += 13) {
        std::string text = FormatDateTime(day);
        ASSERT_EQ(ParseDateTime(text), day) << text;
    }
    // A sample at half a second shows its whole seconds; a value a hair below midnight
    // (sums of sampling intervals) is the next day, not "24:00:00".
    EXPECT_EQ(FormatDateTime(t + 0.5 / 86400), "2003/08/14 10:00:00");
    EXPECT_EQ(FormatDateTime(t + 14.0 / 24 - 1e-12), "2003/08/15 00:00:00");
    DateTimeParts q = DecodeDateTime(t + 0.25 / 86400);
    EXPECT_EQ(q.millisecond, 250);
}

TEST(DateTime, ParseAcceptsShortFormsAndRejectsOthers) {
    double d = EncodeDateTime({2003, 8, 14, 0, 0, 0, 0});
    EXPECT_EQ(ParseDateTime("2003/08/14"), d);
    EXPECT_EQ(ParseDateTime(" 2003/8/14 "), d);
    EXPECT_EQ(ParseDateTime("2003/08/14 10:30"), d + 10.5 / 24);
    for (const char* bad : {"", "2003-08-14 10:00:00", "2003/13/01", "2003/02/30",
                            "2003/08/14 25:00:00", "2003/08/14 10:00:00 x", "2003/08/1410:00",
                            "abc", "2003/08"})
        EXPECT_THROW(ParseDateTime(bad), EConvertError) << bad;
    try {
        ParseDateTime("2003/02/30");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'2003/02/30' は正しい日付と時刻ではありません");
    }
}
