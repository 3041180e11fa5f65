#include <netcdf.h>

#include <gmock/gmock.h>
#include <random>

#include "SeriesTestUtil.h"
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/series/SeriesExchange.h"
#include "core/series/SeriesFile.h"

using namespace orvane;
using namespace series_test;

namespace {

struct Channel {
    const char* name;
    const char* unit;
    float a, b;
    const char* variable;  // its netCDF name
};
// Every resolution, offsets, a name CF does not allow and a Japanese one; the last is the
// burst channel when there are several bursts.
const Channel kChannels[] = {
    {"Count", "", 1, 0, "Count"},          {"Hs", "m", 0.1f, 0, "Hs"},
    {"Ts", "s", 0.01f, 0, "Ts"},           {"Tide", "m", 0.001f, 0, "Tide"},
    {"Urms(300m)", "m/s", 0.0001f, 0, "Urms_300m"}, {"水温", "℃", 0.01f, 1.5f, "channel_6"},
    {"Level", "m", 0.001f, -7.25f, "Level"}, {"Batt", "V", 0.01f, 10, "Batt"},
};

// 40 samples per burst of counts over the whole 16-bit range, every seventh missing.
SeriesFile MakeSeries(int bursts) {
    SeriesFile f;
    auto& h = f.header;
    h.NchBurst = bursts > 1 ? 1 : 0;
    h.NchInterval = static_cast<std::int16_t>(std::size(kChannels) - h.NchBurst);
    for (int ch = 0; ch < h.ChannelCount(); ++ch) {
        h.ItemName[ch] = kChannels[ch].name;
        h.UnitName[ch] = kChannels[ch].unit;
        h.CoefA[ch] = kChannels[ch].a;
        h.CoefB[ch] = kChannels[ch].b;
    }
    h.SampleSize = 40;
    h.Iteration = bursts;
    if (bursts == 1) {
        h.SInt = 500, h.SIntUnit = 1;  // 500 ms from 00:00:00.250
        h.StartTime = ParseDateTime("2024/01/01 00:00:00") + 0.25 / 86400;
    } else {
        h.SInt = 1, h.SIntUnit = 2;
        h.BInt = 1, h.BIntUnit = 4;
        h.StartTime = ParseDateTime("2024/01/01 00:00:00");
    }
    std::mt19937 random(bursts);
    std::uniform_int_distribution<int> count(-32767, 32767);
    std::size_t i = 0;
    auto next = [&]() -> std::int16_t {
        ++i;
        if (i % 7 == 0) return ErrorRaw;
        if (i < 4) return static_cast<std::int16_t>(i == 1 ? 32767 : i == 2 ? -32767 : 0);
        return static_cast<std::int16_t>(count(random));
    };
    f.interval.resize(static_cast<std::size_t>(bursts) * h.SampleSize * h.NchInterval);
    for (auto& c : f.interval) c = next();
    f.burst.resize(static_cast<std::size_t>(bursts) * h.NchBurst);
    for (auto& c : f.burst) c = next();
    return f;
}

std::vector<std::int16_t> NetcdfCounts(int nc, const SeriesHeader& h, int ch) {
    int var = -1;
    EXPECT_EQ(nc_inq_varid(nc, kChannels[ch].variable, &var), NC_NOERR) << kChannels[ch].variable;
    std::size_t n = 0;
    int dim = 0;
    nc_inq_vardimid(nc, var, &dim);
    nc_inq_dimlen(nc, dim, &n);
    std::vector<double> v(n);
    nc_get_var_double(nc, var, v.data());
    nc_type type;
    nc_inq_vartype(nc, var, &type);
    const double fill = type == NC_FLOAT ? static_cast<double>(NC_FILL_FLOAT) : NC_FILL_DOUBLE;
    std::vector<std::int16_t> counts;
    for (double x : v)
        counts.push_back(x == fill ? ErrorRaw
                                   : static_cast<std::int16_t>(RoundHalfEven((x - h.CoefB[ch]) / h.CoefA[ch])));
    return counts;
}

std::string TextAttribute(int nc, const char* var, const char* name) {
    int id = NC_GLOBAL;
    if (var) nc_inq_varid(nc, var, &id);
    std::size_t len = 0;
    if (nc_inq_attlen(nc, id, name, &len) != NC_NOERR) return "(none)";
    std::string text(len, '\0');
    nc_get_att_text(nc, id, name, text.data());
    return text;
}

}  // namespace

class ExchangeTest : public SeriesTest {};

TEST_F(ExchangeTest, CsvAndNetcdfKeepEveryCountOfEveryCoefficientWithMissingSamplesAndBursts) {
    for (int bursts : {1, 3}) {
        SCOPED_TRACE(bursts);
        const SeriesFile f = MakeSeries(bursts);
        const auto& h = f.header;

        ExportSeriesCsv(f, Temp("s.csv"), {});
        const SeriesFile g = ImportSeriesCsv(Temp("s.csv"), {});
        EXPECT_EQ(g.interval, f.interval);
        EXPECT_EQ(g.burst, f.burst);
        EXPECT_EQ(g.header.NchBurst, h.NchBurst);
        EXPECT_EQ(g.header.Iteration, h.Iteration);
        EXPECT_EQ(g.SampleSeconds(), f.SampleSeconds());
        EXPECT_EQ(g.BurstSeconds(), f.BurstSeconds());
        EXPECT_EQ(SampleMilliseconds(g, 0, 0), SampleMilliseconds(f, 0, 0));  // .250 kept
        for (int ch = 0; ch < h.ChannelCount(); ++ch) {
            EXPECT_EQ(g.header.ItemName[ch], h.ItemName[ch]);
            EXPECT_EQ(g.header.UnitName[ch], h.UnitName[ch]);
            EXPECT_EQ(g.header.CoefA[ch], h.CoefA[ch]) << ch;
            EXPECT_EQ(g.header.CoefB[ch], h.CoefB[ch]) << ch;
        }

        ExportOptions options;
        options.utcOffsetMinutes = 9 * 60;
        ExportSeriesNetcdf(f, Temp("s.nc"), options);
        int nc = -1;
        ASSERT_EQ(nc_open(Temp("s.nc").c_str(), NC_NOWRITE, &nc), NC_NOERR);
        for (int ch = 0; ch < h.NchInterval; ++ch) {
            std::vector<std::int16_t> expected;
            for (int k = 0; k < bursts; ++k)
                for (int s = 0; s < h.SampleSize; ++s) expected.push_back(f.Interval(k, s, ch));
            EXPECT_EQ(NetcdfCounts(nc, h, ch), expected) << ch;
        }
        EXPECT_EQ(TextAttribute(nc, "time", "units"),
                  bursts == 1 ? "seconds since 2024-01-01 00:00:00.250 +09:00" : "seconds since 2024-01-01 00:00:00 +09:00");
        EXPECT_EQ(TextAttribute(nc, "channel_6", "units"), "degC");
        EXPECT_EQ(TextAttribute(nc, "channel_6", "long_name"), "水温");
        EXPECT_EQ(TextAttribute(nc, "Count", "units"), "1");
        EXPECT_EQ(TextAttribute(nc, "Hs", "standard_name"), "sea_surface_wave_significant_height");
        if (bursts > 1) {
            EXPECT_EQ(NetcdfCounts(nc, h, h.NchInterval), f.burst);
            int dim = -1, var = -1, varDim = -2;
            EXPECT_EQ(nc_inq_dimid(nc, "burst_time", &dim), NC_NOERR);
            EXPECT_EQ(nc_inq_varid(nc, "burst_time", &var), NC_NOERR);
            nc_inq_vardimid(nc, var, &varDim);
            EXPECT_EQ(varDim, dim);  // a coordinate variable
        }
        nc_close(nc);
    }
    SeriesFile empty = MakeSeries(1);
    empty.header.SampleSize = 0;
    empty.interval.clear();
    EXPECT_THROW(ExportSeriesNetcdf(empty, Temp("e.nc"), {}), OrvaneError);
    EXPECT_FALSE(std::filesystem::exists(Temp("e.nc")));
}

TEST_F(ExchangeTest, OtherProgramsCsvLayoutsImport) {
    auto import = [&](const std::string& text) {
        WriteBytes(Temp("in.csv"), text);
        return ImportSeriesCsv(Temp("in.csv"), {});
    };
    // Float noise of a 7-digit print still gives the resolution the values stand for.
    SeriesFile f = import("time,Hs(m),Ts(s),Tide(m)\n2024-01-01T00:00:00,9.900001,8.429999,0.9720001\n"
                          "2024-01-01T00:20:00,8.400001,5.3,-0.1\n2024-01-01T00:40:00,0.1,12.3,0.25\n");
    EXPECT_EQ(f.header.CoefA[0], 0.1f);
    EXPECT_EQ(f.header.CoefA[1], 0.01f);
    EXPECT_EQ(f.header.CoefA[2], 0.001f);
    EXPECT_EQ(f.Interval(0, 0, 0), 99);
    EXPECT_EQ(f.Interval(0, 0, 1), 843);
    // Semicolons with decimal commas, full-width brackets; tabs and square brackets.
    f = import("Zeit;Hs（m）;T [s]\n2024-01-01 00:00:00;1,25;8\n2024-01-01 00:10:00;1,5;9\n");
    EXPECT_EQ(f.header.ItemName[0], "Hs");
    EXPECT_EQ(f.header.UnitName[0], "m");
    EXPECT_EQ(f.header.ItemName[1], "T");
    EXPECT_EQ(f.header.UnitName[1], "s");
    EXPECT_EQ(f.Interval(0, 1, 0), 150);
    f = import("time\tHs(m)\n2024/01/01 00:00:00\t1.2\n2024/01/01 00:00:01\t1.3\n");
    EXPECT_EQ(f.header.SInt, 1);
    // series csv: second-resolution dates, the times from 経過時間.
    f = import("日時,経過時間(s),Hs(m)\n2024/01/01 00:00:00,0,1\n2024/01/01 00:00:00,0.5,2\n2024/01/01 00:00:01,1,3\n");
    EXPECT_EQ(f.SampleSeconds(), 0.5);
    EXPECT_EQ(f.header.NchInterval, 1);
    try {
        import("time|Hs\n2024-01-01T00:00:00|1\n2024-01-01T00:00:01|2\n");
        ADD_FAILURE();
    } catch (const OrvaneError& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr("セミコロン (;) またはタブ"));
    }
}
