#include "CliResults.h"

#include <charconv>
#include <cmath>
#include <iostream>

#include "CliCommon.h"

namespace orvane {

std::string JsonNumber(long double value) {
    if (!std::isfinite(value)) return "null";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

CLI::Option* AddFormatOption(CLI::App* app, std::string& format) {
    return app->add_option("--format", format, "出力の形式: text (画面と同じ文) | csv | json (数値は全桁、単位つき)")
        ->check(CLI::IsMember({"text", "csv", "json"}).description(""))
        ->type_name("{text,csv,json}")
        ->capture_default_str();
}

void AddResultFormatOptions(CLI::App* app, ResultFormat& f) {
    AddFormatOption(app, f.format);
    AddEncodingOption(app, f.encoding);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

namespace {
std::string Number(const ResultValue& v) {
    return v.extended ? JsonNumber(v.value) : JsonNumber(static_cast<double>(v.value));
}
}  // namespace

void PrintResults(const ResultFormat& f, const std::string& command, const std::vector<ResultValue>& values,
                  const std::vector<std::string>& text) {
    const std::string& format = f.format;
    const std::string& encoding = f.encoding;
    if (format == "csv") {
        CsvOutput out("", encoding);
        out.Line("name,value,unit,text");
        for (const auto& v : values)
            out.Line(CsvQuoted(v.name) + "," + Number(v) + "," + CsvQuoted(v.unit) + "," + CsvQuoted(v.text));
        out.Commit();
        return;
    }
    if (format == "json") {
        std::string j = "{\"command\": " + JsonString(command) + ", \"values\": {";
        for (std::size_t i = 0; i < values.size(); ++i) {
            const auto& v = values[i];
            j += (i ? ", " : "") + JsonString(v.name) + ": {\"value\": " + Number(v) +
                 ", \"unit\": " + JsonString(v.unit) + ", \"text\": " + JsonString(v.text) + "}";
        }
        j += "}, \"text\": [";
        for (std::size_t i = 0; i < text.size(); ++i) j += (i ? ", " : "") + JsonString(text[i]);
        std::cout << j << "]}\n";
        return;
    }
    for (const auto& line : text) PrintLine(line);
}

}  // namespace orvane
