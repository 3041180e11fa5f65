#pragma once
// Text files are CP932 with CR LF line ends (LF alone accepted when read); in memory UTF-8.
#include <string>
#include <vector>

namespace orvane {

// Raise EConvertError / OrvaneError with a Japanese text for bytes that do not convert.
std::string Cp932ToUtf8(const std::string& cp932);
std::string Utf8ToCp932(const std::string& utf8);
// Number of bytes `utf8` takes in CP932.
std::size_t Cp932Length(const std::string& utf8);
// Cut `utf8` so that its CP932 form is at most maxBytes, never halving a double-byte character.
std::string CutToCp932Bytes(const std::string& utf8, std::size_t maxBytes);

// Reads every line (UTF-8, without line ends). Raises EInOutError when it cannot be read,
// EConvertError naming the line when a line holds bytes that are not CP932.
std::vector<std::string> ReadTextLines(const std::string& path);
// The lines as they are in the file (CP932 bytes, line ends removed), for readers that
// must take the good lines before a bad one.
std::vector<std::string> ReadRawLines(const std::string& path);

// The Japanese text for an errno value, and the EInOutError "<text>: <path>".
std::string IoErrorText(int err);
[[noreturn]] void ThrowIoError(int err, const std::string& path);

// Writes lines (UTF-8 in, CP932 + CR LF out) to a temporary file in the same folder and
// renames it over `path` only when everything was written: a failed write leaves the
// old file as it was. Raises EInOutError.
void WriteTextFileAtomic(const std::string& path, const std::vector<std::string>& lines);

// Line-at-a-time writer for long outputs; Commit() renames into place, the destructor of an
// uncommitted writer removes the temporary file.
enum class TextEncoding { Cp932, Utf8 };

class AtomicTextWriter {
public:
    // CP932 by default, as the program's own files; UTF-8 (no byte-order mark) on request.
    explicit AtomicTextWriter(const std::string& path, TextEncoding encoding = TextEncoding::Cp932);
    ~AtomicTextWriter();
    AtomicTextWriter(const AtomicTextWriter&) = delete;
    AtomicTextWriter& operator=(const AtomicTextWriter&) = delete;
    void WriteLine(const std::string& utf8Line);
    void Commit();
private:
    struct Impl;
    Impl* impl_;
};

// Path helpers.
bool FileExists(const std::string& path);
std::string ExtractFileDir(const std::string& path);   // without trailing separator
std::string ExtractFileExt(const std::string& path);   // ".sdf", as typed
std::string ChangeFileExt(const std::string& path, const std::string& ext);
std::string LowerAscii(std::string text);

}  // namespace orvane
