#pragma once
#include <string>

namespace orvane {

// The n-th (from 1) comma-separated field of `line`, every '"' removed; empty when missing
// or when n is outside 1..101.
std::string GetCSVField(const std::string& line, int n);

}  // namespace orvane
