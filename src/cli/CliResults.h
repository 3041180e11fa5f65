#pragma once
// --format text|csv|json for the calculators: text is the window's text as it always was;
// csv and json carry every value as a number at full precision with its unit, beside the
// text it is printed as.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace orvane {

struct ResultValue {
    ResultValue(std::string n, double v, std::string u, std::string t)
        : name(std::move(n)), value(v), unit(std::move(u)), text(std::move(t)) {}
    // Computed in extended precision: written with all of its digits.
    ResultValue(std::string n, long double v, std::string u, std::string t)
        : name(std::move(n)), value(v), unit(std::move(u)), text(std::move(t)), extended(true) {}
    std::string name;
    long double value = 0;
    std::string unit;
    std::string text;  // as printed ("" when the window prints it only inside a report)
    bool extended = false;
};

// Shortest text that reads back as the same number; "null" for NaN and infinities.
std::string JsonNumber(long double value);
std::string JsonNumber(double value);
std::string JsonString(const std::string& utf8);

CLI::Option* AddFormatOption(CLI::App* app, std::string& format);

// How a calculator prints: --format and --encoding (of its CSV).
struct ResultFormat {
    std::string format = "text", encoding = "utf-8";
};
void AddResultFormatOptions(CLI::App* app, ResultFormat& f);

// Prints `text` lines for text; "name,value,unit,text" rows for csv; for json an object
// {"command", "values": {name: {"value", "unit", "text"}}, "text": [lines]}.
void PrintResults(const ResultFormat& f, const std::string& command, const std::vector<ResultValue>& values,
                  const std::vector<std::string>& text);

// Splits a report at its line breaks.
std::vector<std::string> Lines(const std::string& text);

}  // namespace orvane
