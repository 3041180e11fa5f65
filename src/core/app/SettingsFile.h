#pragma once
// WaveCval.dat: the constants and the last inputs of the larger windows, 41 lines, one value
// a line, CP932 with CR LF. The table fixes which control each line belongs to; the window
// side moves values between the controls and these records.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/app/PhysicalConstants.h"

namespace orvane {

inline constexpr const char* kSettingsFileName = "WaveCval.dat";
inline constexpr int kSettingsLineCount = 41;

enum class SettingKind {
    Text,     // the text of an edit box exactly as it stands
    Integer,  // decimal integer: a selected item (-1 for none) or an integer field
};

struct SettingEntry {
    int line;             // 1..41
    SettingKind kind;
    const char* window;   // class name of the owning window
    const char* control;  // objectName of the control, or name of the integer property
    bool field16;         // an integer property of 16-bit range rather than a selection
};

// The 41 entries in file order (entry i is line i + 1).
const std::array<SettingEntry, kSettingsLineCount>& SettingsTable();

// One line's value: `text` for box texts; `integer` for integer lines (text then holds the
// line as it stood in the file).
struct SettingValue {
    std::string text;
    int integer = 0;
    bool taken = true;  // false: the line could not be decoded and its control keeps its value
};

// What a read took over. `values` holds the lines read, in order; a line whose bytes are not
// CP932 is left out (taken = false) and the read goes on, any other bad line ends it, so
// values.size() is where the read stopped. `error` is the first failure's message and
// `errorLine` its line number (0 when the file as a whole could not be read).
struct SettingsReadResult {
    bool fileFound = false;
    std::vector<SettingValue> values;
    // Constants converted without error; unset ones keep their value. Lines 1-3 convert
    // right after line 3 in the order gra, SGfluid, RTp, and 40-41 as they are read, so a
    // bad constant line stops the read with the constants before it in force.
    std::optional<double> gra, SGfluid, RTp, gamma_TG, B_TG;
    std::string error;
    int errorLine = 0;

    bool Complete() const { return error.empty(); }
    void ApplyConstantsTo(PhysicalConstants& constants) const;
};

// A missing file gives fileFound = false and nothing else. Lines missing at the end read as
// empty texts (so a short file stops at its first missing integer or number line); lines
// after the 41st are ignored. Never throws for the file's contents or its absence.
SettingsReadResult ReadSettingsFile(const std::string& path);

// Writes exactly 41 values (box texts as they stand, integers in decimal) through a
// temporary file renamed into place, creating the folder when it is missing. A failure
// raises EInOutError or EConvertError (text with no CP932 form) and leaves the old file.
// Line breaks inside a text (which would shift every later line) are written as blanks, and
// characters with no CP932 form as "?", so that closing the program is never refused for a
// typed character. Returns the lines (from 1) that got such a replacement.
std::vector<int> WriteSettingsFile(const std::string& path, const std::vector<SettingValue>& values);

// Where WaveCval.dat is written and where it is read from. `dir` (trailing '/') is where it
// is written: beside the program when it runs from its build tree and that folder is
// writable, else $XDG_CONFIG_HOME/orvane/ (an absolute XDG_CONFIG_HOME only), else
// ~/.config/orvane/. `fallbackDir` is the program's folder when that is not `dir`: a
// WaveCval.dat there is read when `dir` has none, even from a read-only folder.
struct SettingsPlace {
    std::string dir;
    std::string fallbackDir;
    // The file to read: dir's when it exists, else fallbackDir's when that exists, else dir's.
    std::string ReadPath() const;
    std::string WritePath() const { return dir + kSettingsFileName; }
};
SettingsPlace LocateSettings(const std::string& programDir, bool buildTree);
// The same decision with the environment passed in (empty strings for unset variables).
SettingsPlace LocateSettings(const std::string& programDir, bool buildTree,
                             const std::string& xdgConfigHome, const std::string& home);

}  // namespace orvane
