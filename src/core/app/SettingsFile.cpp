#include "core/app/SettingsFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"

namespace orvane {
namespace {

constexpr const char* kEditor = "TFrmEditConst";
constexpr const char* kShoaling = "TFrmShoaling";
constexpr const char* kWaveVel = "TFrmWaveVelSeries";
constexpr const char* kEstHeight = "TFrmEstWaveHeight";
constexpr SettingKind T = SettingKind::Text;
constexpr SettingKind I = SettingKind::Integer;

const std::array<SettingEntry, kSettingsLineCount> kTable = {{
    {1, T, kEditor, "Editgra", false},
    {2, T, kEditor, "EditSGfluid", false},
    {3, T, kEditor, "EditRTp", false},
    {4, T, kShoaling, "EditFileName", false},
    {5, T, kWaveVel, "EditFLWave", false},
    {6, T, kWaveVel, "EditFLTide", false},
    {7, T, kWaveVel, "EditFLOutput", false},
    {8, T, kWaveVel, "EditMSL", false},
    {9, T, kShoaling, "EdtH0", false},
    {10, T, kShoaling, "EdtT0", false},
    {11, T, kShoaling, "EdtCalPoint", false},
    {12, T, kShoaling, "EditOffshoreEnd", false},
    {13, T, kShoaling, "EditOnshoreEnd", false},
    {14, T, kEstHeight, "EditInputFile", false},
    {15, T, kEstHeight, "EditMeanDepth", false},
    {16, I, kEstHeight, "ComboBoxTide", false},
    {17, T, kEstHeight, "Editdh", false},
    {18, I, kEstHeight, "ComboBoxUs", false},
    {19, T, kEstHeight, "EditFactorUs", false},
    {20, I, kEstHeight, "ComboBoxTp", false},
    {21, T, kEstHeight, "EditFactorTp", false},
    {22, I, kShoaling, "RadioGroupProfile", false},
    {23, I, kShoaling, "RadioGroupXAxis", false},
    {24, I, kShoaling, "RadioGroupMethod", false},
    {25, I, kShoaling, "DepthColumn", true},
    {26, I, kShoaling, "DistanceColumn", true},
    {27, I, kEstHeight, "SavedTideChannel", true},
    {28, I, kEstHeight, "SavedTpChannel", true},
    {29, I, kEstHeight, "SavedUsChannel", true},
    {30, I, kWaveVel, "SavedHsChannel", true},
    {31, I, kWaveVel, "SavedTideChannel", true},
    {32, I, kWaveVel, "SavedTsChannel", true},
    {33, I, kWaveVel, "RadioGroupOutput", false},
    {34, T, kShoaling, "EditdMSL", false},
    {35, T, kShoaling, "EdtSlope", false},
    {36, T, kWaveVel, "EditCHs", false},
    {37, T, kWaveVel, "EditCTs", false},
    {38, I, kShoaling, "RadioGroupObsPos", false},
    {39, T, kShoaling, "LabeledEditObsPos", false},
    {40, T, kEditor, "LabeledEditgamma_TG", false},
    {41, T, kEditor, "LabeledEditB_TG", false},
}};

bool IsWritableDir(const std::string& dir) {
    struct stat st{};
    return !dir.empty() && ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           ::access(dir.c_str(), W_OK) == 0;
}

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

void MakeDirs(const std::string& dir) {
    if (dir.empty()) return;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        std::string part = dir.substr(0, pos);
        if (part.empty()) continue;
        if (::mkdir(part.c_str(), 0777) == 0 || errno == EEXIST) continue;
        // Named as the folder that could not be made ($XDG_CONFIG_HOME a file, say), never
        // as a file that was not found.
        const int err = errno;
        std::string why = IoErrorText(err);
        if (err == ENOTDIR) {
            why = "「" + ExtractFileDir(part) + "」はフォルダではありません";
        }
        throw EInOutError("設定フォルダ「" + part + "」を作成できません。\n" + why, err);
    }
}

// `utf8` with every character that has no CP932 form (or a broken UTF-8 byte) as "?".
std::string ToCp932Writable(const std::string& utf8, bool& changed) {
    try {
        Utf8ToCp932(utf8);
        return utf8;
    } catch (const EConvertError&) {
    }
    changed = true;
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        std::size_t len = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        len = std::min(len, utf8.size() - i);
        const std::string ch = utf8.substr(i, len);
        try {
            Utf8ToCp932(ch);
            out += ch;
        } catch (const EConvertError&) {
            out += '?';
        }
        i += len;
    }
    return out;
}

}  // namespace

const std::array<SettingEntry, kSettingsLineCount>& SettingsTable() { return kTable; }

void SettingsReadResult::ApplyConstantsTo(PhysicalConstants& c) const {
    if (gra) c.gra = *gra;
    if (SGfluid) c.SGfluid = *SGfluid;
    if (RTp) c.RTp = *RTp;
    if (gamma_TG) c.gamma_TG = *gamma_TG;
    if (B_TG) c.B_TG = *B_TG;
}

SettingsReadResult ReadSettingsFile(const std::string& path) {
    SettingsReadResult r;
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR))
        return r;  // no file: the defaults stay, silently
    r.fileFound = true;
    std::vector<std::string> raw;
    try {
        raw = ReadRawLines(path);
    } catch (const OrvaneError& e) {
        r.error = e.what();
        return r;
    }
    auto note = [&](int line, const std::string& message) {
        if (!r.error.empty()) {
            r.error += "\n" + message;
            return;
        }
        r.error = message;
        r.errorLine = line;
    };
    auto fail = [&](int line, const std::string& message) {
        note(line, message);
        return r;
    };
    for (const SettingEntry& entry : kTable) {
        const std::size_t index = static_cast<std::size_t>(entry.line - 1);
        SettingValue v;
        if (index < raw.size()) {
            try {
                v.text = Cp932ToUtf8(raw[index]);
            } catch (const EConvertError&) {
                // Only this line is lost: the lines after it still belong to their controls.
                note(entry.line, std::string(kSettingsFileName) + " の " + std::to_string(entry.line) +
                                     " 行目に CP932 の文字として読めないバイトがあります");
                v.text.clear();
                v.taken = false;
            }
        }
        if (entry.kind == SettingKind::Integer && v.taken) {
            if (!TryStrToInt(v.text, v.integer))
                return fail(entry.line, "'" + v.text + "' は整数ではありません");
            if (entry.field16 && (v.integer < -32768 || v.integer > 32767))
                return fail(entry.line, "'" + v.text + "' は -32768 から 32767 までの整数ではありません");
        }
        r.values.push_back(v);
        // The constants convert once their boxes hold the file's texts.
        try {
            if (entry.line == 3) {
                if (r.values[0].taken) r.gra = StrToFloat(r.values[0].text);
                if (r.values[1].taken) r.SGfluid = StrToFloat(r.values[1].text);
                if (r.values[2].taken) r.RTp = StrToFloat(r.values[2].text);
            } else if (!v.taken) {
            } else if (entry.line == 40) {
                r.gamma_TG = StrToFloat(v.text);
            } else if (entry.line == 41) {
                r.B_TG = StrToFloat(v.text);
            }
        } catch (const EConvertError& e) {
            int bad = entry.line;
            if (entry.line == 3) bad = !r.gra && r.values[0].taken ? 1 : !r.SGfluid && r.values[1].taken ? 2 : 3;
            return fail(bad, e.what());
        }
    }
    return r;
}

std::vector<int> WriteSettingsFile(const std::string& path, const std::vector<SettingValue>& values) {
    if (values.size() != kTable.size())
        throw OrvaneError(std::string(kSettingsFileName) + " に書く値の数が " +
                          std::to_string(kTable.size()) + " ではありません");
    std::vector<std::string> lines;
    std::vector<int> replaced;
    lines.reserve(values.size());
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        if (kTable[i].kind == SettingKind::Integer) {
            lines.push_back(std::to_string(values[i].integer));
            continue;
        }
        std::string text = values[i].text;
        for (char& c : text)
            if (c == '\r' || c == '\n') c = ' ';
        bool changed = false;
        text = ToCp932Writable(text, changed);
        if (changed) replaced.push_back(kTable[i].line);
        lines.push_back(std::move(text));
    }
    MakeDirs(ExtractFileDir(path));
    WriteTextFileAtomic(path, lines);
    return replaced;
}

SettingsPlace LocateSettings(const std::string& programDir, bool buildTree,
                             const std::string& xdgConfigHome, const std::string& home) {
    SettingsPlace place;
    const std::string program = WithSlash(programDir);
    if (buildTree && IsWritableDir(programDir)) place.dir = program;
    else if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/')
        place.dir = WithSlash(xdgConfigHome) + "orvane/";
    else if (!home.empty()) place.dir = WithSlash(home) + ".config/orvane/";
    else place.dir = program;  // nowhere better: the write will report why it fails
    if (place.dir != program) place.fallbackDir = program;
    return place;
}

SettingsPlace LocateSettings(const std::string& programDir, bool buildTree) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    return LocateSettings(programDir, buildTree, xdg ? xdg : "", home ? home : "");
}

std::string SettingsPlace::ReadPath() const {
    struct stat st{};
    const std::string own = WritePath();
    if (fallbackDir.empty() || ::stat(own.c_str(), &st) == 0) return own;
    const std::string beside = fallbackDir + kSettingsFileName;
    return ::stat(beside.c_str(), &st) == 0 ? beside : own;
}

}  // namespace orvane
