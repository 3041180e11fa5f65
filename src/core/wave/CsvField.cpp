#include "core/wave/CsvField.h"

namespace orvane {

std::string GetCSVField(const std::string& line, int n) {
    // The walk stops at field 101 whatever the line holds.
    constexpr int kMaxField = 101;
    if (n < 1 || n > kMaxField) return "";
    std::size_t start = 0;
    std::string field;
    for (int i = 1; i <= kMaxField; ++i) {
        std::size_t comma = line.find(',', start);
        if (comma == std::string::npos) {
            if (i == n) field = line.substr(start);
            break;
        }
        if (i == n) {
            field = line.substr(start, comma - start);
            break;
        }
        start = comma + 1;
    }
    std::string out;
    out.reserve(field.size());
    for (char c : field)
        if (c != '"') out.push_back(c);
    return out;
}

}  // namespace orvane
