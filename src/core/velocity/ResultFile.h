#pragma once
// Result series of the two time-series tools: 16-bit counts and the finished file.
#include <cstdint>
#include <string>
#include "core/runtime/NumberText.h"
#include "core/series/SeriesStore.h"

namespace orvane {

// The count (value - B) / A rounded half to even, or ErrorRaw when it does not fit
// -32767..32767 (-32768 is the missing marker itself); such a value adds one to
// `outOfRange`. A must not be 0 (see CheckCoefficients).
inline std::int16_t ValueToCount(double value, double A, double B, long long& outOfRange) {
    const double x = (value - B) / A;
    // Compared before rounding, so that a huge or non-finite value never reaches a cast.
    if (!(x > -32768.0 && x < 32768.0)) {
        ++outOfRange;
        return ErrorRaw;
    }
    const std::int64_t n = RoundHalfEven(x);
    if (n < -32767 || n > 32767) {
        ++outOfRange;
        return ErrorRaw;
    }
    return static_cast<std::int16_t>(n);
}

// Raises EZeroDivide when an interval channel of the header has CoefA = 0: no value can
// be stored as a count there (the save window lets the user type any coefficient).
void CheckCoefficients(const SeriesHeader& header);

// The header as the save window gives it back when the user changes nothing there: memo
// without trailing blanks, the start time to the second, coefficients through their
// 7-digit texts, names and units cut to 16 and 8 bytes. The command line applies it so
// that its files are the same, byte for byte, as the windows'.
void NormaliseAsSaveWindow(SeriesHeader& header);

// The save window's checks of an output name: a "," in a name or unit of a TSD result
// (which TSD cannot read back), overwriting the input TSD file, another existing file.
// False after a message or a No.
bool ConfirmResultName(const SeriesStore& store, const std::string& name, Prompter& prompter);

// Writes the header and burst 0 of `store` as the file `target`, SDF for a ".sdf" name
// (any case), TSD otherwise. Everything goes to a temporary file beside the target, which
// is renamed over it only once complete: a failure leaves no new file and an old file as
// it was. OutputFileName is `target` afterwards. Raises EInOutError.
void WriteResultFile(SeriesStore& store, const std::string& target);

// Removes `path` when it exists now but did not before the save step (`existedBefore`):
// the header-only file of a run that did not finish.
void RemoveUnfinishedResult(const std::string& path, bool existedBefore);

// The computing time as "hh:nn:ss": the time of day of the difference, whole days dropped.
std::string FormatRunTime(double runStart, double runEnd);

// The message of a finished run, with the count of values that did not fit 16 bits.
std::string OutOfRangeNote(long long outOfRange);

}  // namespace orvane
