#pragma once
// The reading rules shared by the program's measured-data CSV files (bottom profiles,
// measured wave heights): size and line caps, UTF-16 and binary files refused, numbers
// in ASCII so that UTF-8 and CP932 files read alike, and a bad field named by its line
// and column.
#include <cstddef>
#include <string>
#include <vector>

namespace orvane {

// Raw lines of the file without their line ends. Returns "" on success, otherwise the
// message: `failure` (e.g. "海底断面データを読み込めません。"), a line break, the reason.
std::string ReadDataLines(const std::string& path, std::vector<std::string>& lines, const std::string& failure);
// The field of `column` (from 0) on line `lineNo` (from 1) as a number; an OrvaneError
// with `failure` and "N行目のM列目…" otherwise.
double DataNumber(const std::string& line, int column, std::size_t lineNo, const std::string& failure);
bool IsBlankDataLine(const std::string& line);

}  // namespace orvane
