#pragma once
// Text files are CP932 with CR LF line ends (LF alone accepted when read); in memory UTF-8.
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// Raise EConvertError / OrvaneError with a Japanese text for bytes that do not convert.
std::string Cp932ToUtf8(const std::string& cp932);
std::string Utf8ToCp932(const std::string& utf8);
// Number of bytes `utf8` takes in CP932.
std::size_t Cp932Length(const std::string& utf8);
// Cut `utf8` so that its CP932 form is at most maxBytes, never halving a double-byte character.
std::string CutToCp932Bytes(const std::string& utf8, std::size_t maxBytes);

// Text written by other programs (a spreadsheet, a logger, a script) comes as UTF-8, with
// or without a byte-order mark, or as CP932. Every reader of such files decides the same
// way: a byte-order mark means UTF-8; bytes that only one of the two reads are in that
// one; bytes that both read are CP932 (what Orvane and the loggers write) unless they hold
// a character that only UTF-8 explains: one of three or four bytes (kana, kanji, ℃ ...) or
// a Latin-1 sign (° ± µ ²: C2 xx, which CP932 reads as "ﾂ" and another half-width
// character). `bom` is the length of the mark to skip.
struct DetectedText {
    enum Kind { Utf8, Cp932 } kind = Cp932;
    std::size_t bom = 0;
};
// Raises EConvertError naming `name` (such as "「a.csv」") and the first line that
// neither encoding can read.
DetectedText DetectTextEncoding(std::string_view bytes, const std::string& name);
// The UTF-8 form of one line of a file of that kind (mark already skipped).
std::string DecodeLine(std::string_view line, DetectedText::Kind kind);
bool IsValidUtf8(std::string_view bytes);
bool IsValidCp932(std::string_view bytes);
// A CSV field as RFC 4180 writes it: quoted, with its quotes doubled, when it holds a comma,
// a quote or a line break.
std::string CsvQuoted(const std::string& text);

// Inputs are regular files: a FIFO or a device would block a reader or never end, a
// folder is no file. "" when `path` names a regular file, else the Japanese reason
// ("ファイル「…」が見つかりません。", "「…」はフォルダです。…"). Never opens the file.
std::string InputFileProblem(const std::string& path);
// A NUL in a name would end it early in the system's calls: another file would be used.
std::string NulInFileNameText(const std::string& path);
// Raises EInOutError with that reason.
void RequireInputFile(const std::string& path);

// Reads every line (UTF-8, without line ends). Raises EInOutError when it cannot be read,
// EConvertError naming the line when a line holds bytes that are not CP932.
std::vector<std::string> ReadTextLines(const std::string& path);
// The lines as they are in the file (CP932 bytes, line ends removed), for readers that
// must take the good lines before a bad one.
std::vector<std::string> ReadRawLines(const std::string& path);

// The Japanese text for an errno value, and the EInOutError "<text>: <path>".
std::string IoErrorText(int err);
[[noreturn]] void ThrowIoError(int err, const std::string& path);
// "ファイル「<path>」に書き込めません。" with the reason on a second line when `err` names one.
std::string WriteFailureText(const std::string& path, int err);
// `message` with every mention of `temp` replaced by `target`: the user wrote the target
// and never heard of the temporary file.
std::string NamingTarget(std::string message, const std::string& temp, const std::string& target);

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

// Temporary files. A file is written beside its target under the name
// ".<name>.orvane-partial-<pid>-<n>" and renamed over the target when complete, so one left
// behind by a killed run says what it is. TemporaryPathFor first removes the stale ones in
// the target's folder: those of processes that no longer run, an unlocked "Qr~temp1234!",
// and the older names this program gave the same target.
std::string TemporaryPathFor(const std::string& target);
void RemoveStaleTemporaries(const std::string& dir, const std::string& target = "");
// The one temporary-file scheme of every writer: a file of its own beside `target` (named
// as TemporaryPathFor says, created exclusively with the mode the target should have),
// held open until Commit() flushes it and renames it over the target in one step, or the
// destructor removes it. Nobody else ever takes it for a leftover while this process
// lives. Errors name the target, never the temporary.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& Path() const { return temp_; }
    const std::string& Target() const { return target_; }
    int Fd() const { return fd_; }
    void Commit();
private:
    std::string target_, temp_;
    int fd_ = -1;
    bool committed_ = false;
};

// Holds an advisory lock on a file while it is in use (an older version's conversion
// locked "Qr~temp1234!" so), so that the sweep does not take it for a leftover.
class TemporaryLock {
public:
    explicit TemporaryLock(const std::string& path);
    ~TemporaryLock();
    TemporaryLock(const TemporaryLock&) = delete;
    TemporaryLock& operator=(const TemporaryLock&) = delete;
private:
    int fd_ = -1;
};

// Path helpers.
bool FileExists(const std::string& path);
std::string ExtractFileDir(const std::string& path);   // without trailing separator
std::string ExtractFileExt(const std::string& path);   // ".sdf", as typed
std::string ChangeFileExt(const std::string& path, const std::string& ext);
std::string LowerAscii(std::string text);

}  // namespace orvane
