#pragma once
// Small helpers shared by the start-up, settings and calculator window tests.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline void WriteLinesCrLf(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const auto& l : lines) out << l << "\r\n";
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Lines without their CR LF.
inline std::vector<std::string> ReadLinesCrLf(const std::string& path) {
    std::vector<std::string> lines;
    const std::string bytes = ReadBytes(path);
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) end = bytes.size();
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

// A complete file as this program writes it with its window defaults, with the given
// replacements (line number from 1 -> text).
inline std::vector<std::string> SettingsLines(std::vector<std::pair<int, std::string>> changes = {}) {
    std::vector<std::string> lines(41, "0");
    lines[0] = "9.80665";
    lines[1] = "1.025";
    lines[2] = "0.93";
    lines[39] = "0.42";
    lines[40] = "1.54";
    for (auto& [line, text] : changes) lines[line - 1] = text;
    return lines;
}
