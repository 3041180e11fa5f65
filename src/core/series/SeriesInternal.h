#pragma once
// Helpers shared by the SDF and TSD code; not part of the series interface.
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

namespace orvane::series_detail {

// CP932 bytes from a file -> UTF-8; bytes that do not convert become '?', so that a damaged
// memo or name never makes the whole file unreadable.
std::string DecodeCp932Lenient(const std::string& bytes);
// UTF-8 text with every character that CP932 cannot hold replaced by '?'.
std::string KeepCp932Characters(const std::string& utf8);

// Physical value of a TSD field (raises the standard conversion error).
double ParseNumber(std::string_view field);

// Lines of a TSD file: CR LF or LF; counts the bytes it consumed.
class LineReader {
public:
    explicit LineReader(std::istream& in) : in_(in) {}
    // False at the end of the file (the line is then empty).
    bool Next(std::string& line);
    // Same, but gives up (false, TooLong()) once a line passes `maxBytes`, so that a file
    // without line breaks is not read whole.
    bool NextBounded(std::string& line, std::size_t maxBytes);
    bool TooLong() const { return tooLong_; }
    bool AtEnd() { return in_.peek() == std::char_traits<char>::eof(); }
    bool Bad() const { return in_.bad(); }
    std::int64_t Consumed() const { return consumed_; }
private:
    std::istream& in_;
    std::int64_t consumed_ = 0;
    bool tooLong_ = false;
};

std::int64_t StreamSize(std::istream& in);
// Bytes of the file that hold data: its size less the holes of a sparse file, which a
// header's counts cannot be checked against.
std::int64_t ContentBytes(const std::string& fileName, std::int64_t size);

}  // namespace orvane::series_detail
