#include "core/runtime/TextFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "core/runtime/Errors.h"

namespace orvane {
namespace {

// Converts a whole text between two encodings; false when a byte sequence does not convert.
bool Convert(const char* to, const char* from, const std::string& in, std::string& out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw OrvaneError("文字コードの変換を準備できません");
    out.clear();
    out.resize(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1);
    if (ok) ok = iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return ok && srcLeft == 0;
}

bool IsCp932Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t nl = bytes.find('\n', start);
        std::size_t end = nl == std::string::npos ? bytes.size() : nl;
        std::size_t len = end - start;
        if (len > 0 && bytes[end - 1] == '\r') --len;
        lines.push_back(bytes.substr(start, len));
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    return lines;
}

constexpr char kPartialTag[] = ".orvane-partial-";
constexpr char kConversionTemp[] = "Qr~temp1234!";

std::string DirPrefix(const std::string& dir) {
    return dir.empty() ? std::string() : (dir == "/" ? dir : dir + "/");
}

std::string BaseName(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ProcessGone(long pid) { return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

// True when nobody holds the file's lock (and so nobody is writing it).
bool Unlocked(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

// Names an earlier version gave the temporary files of `target`.
bool OldTemporaryOf(const std::string& name, const std::string& target) {
    if (target.empty()) return false;
    if (name == target + ".part~") return true;
    const std::string dot = "." + target;
    if (name.rfind(dot + ".tmp", 0) == 0) return name.size() == dot.size() + 10;
    return name.rfind(dot + ".~", 0) == 0;
}

// Creates the temporary file beside `path` with the mode the final file should have.
int CreateTemp(const std::string& path, std::string& tempPath) {
    std::string tmpl = TemporaryPathFor(path) + "-XXXXXX";
    int fd = mkstemp(tmpl.data());
    if (fd < 0) ThrowIoError(errno, path);
    struct stat st{};
    mode_t mode;
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    tempPath = tmpl;
    return fd;
}

void WriteAll(int fd, const std::string& bytes, const std::string& path) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            ThrowIoError(errno, path);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

void FinishAndRename(int fd, const std::string& tempPath, const std::string& path) {
    if (::fsync(fd) != 0 && errno != EINVAL) {
        int e = errno;
        ::close(fd);
        ThrowIoError(e, path);
    }
    if (::close(fd) != 0) ThrowIoError(errno, path);
    if (::rename(tempPath.c_str(), path.c_str()) != 0) ThrowIoError(errno, path);
}

}  // namespace

std::string IoErrorText(int err) {
    switch (err) {
        case ENOENT: case ENOTDIR: return "ファイルが見つかりません";
        case EACCES: case EPERM: case EROFS: return "ファイルへのアクセスが拒否されました";
        case ENOSPC: case EDQUOT: return "ディスクの空き容量が足りません";
        case EISDIR: return "フォルダはファイルとして開けません";
        case ENAMETOOLONG: return "ファイル名が長すぎます";
        default: return "ファイルの入出力でエラーが発生しました";
    }
}

void ThrowIoError(int err, const std::string& path) {
    throw EInOutError(IoErrorText(err) + ": " + path, err);
}

std::string WriteFailureText(const std::string& path, int err) {
    std::string text = "ファイル「" + path + "」に書き込めません。";
    if (err != 0) text += "\n" + IoErrorText(err);
    return text;
}

std::string NamingTarget(std::string message, const std::string& temp, const std::string& target) {
    if (temp.empty()) return message;
    for (std::size_t at = message.find(temp); at != std::string::npos; at = message.find(temp, at + target.size()))
        message.replace(at, temp.size(), target);
    return message;
}

std::string Cp932ToUtf8(const std::string& cp932) {
    std::string out;
    if (!Convert("UTF-8", "CP932", cp932, out))
        throw EConvertError("CP932 の文字として読めないバイトがあります");
    return out;
}

bool IsValidUtf8(std::string_view b) {
    std::size_t i = 0;
    while (i < b.size()) {
        const unsigned char c = static_cast<unsigned char>(b[i]);
        std::size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > b.size()) return false;
        std::uint32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        for (std::size_t k = 1; k < len; ++k) {
            const unsigned char d = static_cast<unsigned char>(b[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and values beyond the code space are not UTF-8.
        static constexpr std::uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

bool IsValidCp932(std::string_view bytes) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw OrvaneError("文字コードの変換を準備できません");
    // A fixed output buffer, reused: the check needs no memory in proportion to the text.
    char out[16384];
    char* src = const_cast<char*>(bytes.data());
    std::size_t srcLeft = bytes.size();
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = out;
        std::size_t dstLeft = sizeof out;
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    return ok;
}

namespace {

// A character of three or four bytes, or a Latin-1 sign (C2 80-BF), somewhere in UTF-8 text.
bool HasUtf8OnlyCharacter(std::string_view b) {
    for (std::size_t i = 0; i < b.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(b[i]);
        if (c >= 0xE0 || c == 0xC2) return true;
    }
    return false;
}

}  // namespace

DetectedText DetectTextEncoding(std::string_view bytes, const std::string& name) {
    DetectedText d;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        d.kind = DetectedText::Utf8;
        d.bom = 3;
        if (IsValidUtf8(bytes.substr(3))) return d;
    } else {
        const bool utf8 = IsValidUtf8(bytes);
        // Plain ASCII reads the same either way; CP932 is checked only when it could matter.
        if (utf8 && HasUtf8OnlyCharacter(bytes)) {
            d.kind = DetectedText::Utf8;
            return d;
        }
        bool ascii = true;
        for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        if (ascii) {
            d.kind = DetectedText::Utf8;
            return d;
        }
        if (IsValidCp932(bytes)) return d;
        if (utf8) {
            d.kind = DetectedText::Utf8;
            return d;
        }
    }
    std::string_view rest = bytes.substr(d.bom);
    // Name the first line that the chosen encoding (or, without a mark, either) cannot read.
    // A file mixing the two is named by its first line that is not UTF-8.
    std::size_t line = 1, start = 0, firstNotUtf8 = 0, bad = 0;
    while (start <= rest.size() && bad == 0) {
        std::size_t end = rest.find('\n', start);
        if (end == std::string_view::npos) end = rest.size();
        std::string_view l = rest.substr(start, end - start);
        const bool utf8 = IsValidUtf8(l);
        if (!utf8 && firstNotUtf8 == 0) firstNotUtf8 = line;
        if (!utf8 && !(d.bom == 0 && IsValidCp932(l))) bad = line;
        ++line;
        start = end + 1;
    }
    line = bad ? bad : firstNotUtf8 ? firstNotUtf8 : 1;
    throw EConvertError(name + "の " + std::to_string(line) +
                        " 行目は UTF-8 としても CP932 (シフトJIS) としても読めません。");
}

std::string DecodeLine(std::string_view line, DetectedText::Kind kind) {
    if (kind == DetectedText::Utf8) return std::string(line);
    return Cp932ToUtf8(std::string(line));
}

std::string Utf8ToCp932(const std::string& utf8) {
    std::string out;
    if (!Convert("CP932", "UTF-8", utf8, out))
        throw EConvertError("'" + MessageExcerpt(utf8) + "' には CP932 で書けない文字があります");
    return out;
}

std::size_t Cp932Length(const std::string& utf8) { return Utf8ToCp932(utf8).size(); }

std::string CutToCp932Bytes(const std::string& utf8, std::size_t maxBytes) {
    std::string bytes = Utf8ToCp932(utf8);
    if (bytes.size() <= maxBytes) return utf8;
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t len = IsCp932Lead(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
        if (i + len > maxBytes) break;
        i += len;
    }
    return Cp932ToUtf8(bytes.substr(0, i));
}

std::string NulInFileNameText(const std::string& path) {
    return "ファイル名「" + MessageExcerpt(path) + "」に NUL 文字があります。";
}

std::string InputFileProblem(const std::string& path) {
    struct stat st{};
    if (path.find('\0') != std::string::npos)
        return NulInFileNameText(path);
    if (::stat(path.c_str(), &st) != 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR || path.empty()) return "ファイル「" + path + "」が見つかりません。";
        return "ファイル「" + path + "」を開けません。\n" + IoErrorText(err);
    }
    if (S_ISDIR(st.st_mode)) return "「" + path + "」はフォルダです。ファイルを指定してください。";
    if (!S_ISREG(st.st_mode))
        return "「" + path + "」は通常のファイルではありません (FIFO やデバイスは読み込めません)。";
    return {};
}

void RequireInputFile(const std::string& path) {
    if (std::string problem = InputFileProblem(path); !problem.empty()) throw EInOutError(problem);
}

std::vector<std::string> ReadRawLines(const std::string& path) {
    // Opened without blocking, so that a FIFO named here cannot stop the program.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) ThrowIoError(errno, path);
    struct stat st{};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        ThrowIoError(EISDIR, path);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw EInOutError(InputFileProblem(path).empty() ? IoErrorText(0) + ": " + path : InputFileProblem(path));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::string bytes;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            int e = errno;
            ::close(fd);
            ThrowIoError(e, path);
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return SplitLines(bytes);
}

std::vector<std::string> ReadTextLines(const std::string& path) {
    std::vector<std::string> lines = ReadRawLines(path);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string utf8;
        if (!Convert("UTF-8", "CP932", lines[i], utf8))
            throw EConvertError(path + " の " + std::to_string(i + 1) +
                                " 行目に CP932 の文字として読めないバイトがあります");
        lines[i] = std::move(utf8);
    }
    return lines;
}

void WriteTextFileAtomic(const std::string& path, const std::vector<std::string>& lines) {
    // Convert first: a line that cannot be written must not cost the old file anything.
    std::string bytes;
    for (const auto& line : lines) {
        bytes += Utf8ToCp932(line);
        bytes += "\r\n";
    }
    std::string tempPath;
    int fd = CreateTemp(path, tempPath);
    try {
        WriteAll(fd, bytes, path);
    } catch (...) {
        ::close(fd);
        ::unlink(tempPath.c_str());
        throw;
    }
    try {
        FinishAndRename(fd, tempPath, path);
    } catch (...) {
        ::unlink(tempPath.c_str());
        throw;
    }
}

struct AtomicTextWriter::Impl {
    std::string path;
    std::string tempPath;
    int fd = -1;
    std::string buffer;
    bool committed = false;
    TextEncoding encoding = TextEncoding::Cp932;
};

AtomicTextWriter::AtomicTextWriter(const std::string& path, TextEncoding encoding) : impl_(new Impl) {
    impl_->path = path;
    impl_->encoding = encoding;
    try {
        impl_->fd = CreateTemp(path, impl_->tempPath);
    } catch (...) {
        delete impl_;
        throw;
    }
}

AtomicTextWriter::~AtomicTextWriter() {
    if (!impl_->committed) {
        if (impl_->fd >= 0) ::close(impl_->fd);
        ::unlink(impl_->tempPath.c_str());
    }
    delete impl_;
}

void AtomicTextWriter::WriteLine(const std::string& utf8Line) {
    if (impl_->committed || impl_->fd < 0) throw OrvaneError("書き込みはもう終わっています: " + impl_->path);
    if (impl_->encoding == TextEncoding::Utf8) impl_->buffer += utf8Line;
    else impl_->buffer += Utf8ToCp932(utf8Line);
    impl_->buffer += "\r\n";
    if (impl_->buffer.size() >= 65536) {
        WriteAll(impl_->fd, impl_->buffer, impl_->path);
        impl_->buffer.clear();
    }
}

void AtomicTextWriter::Commit() {
    if (impl_->committed || impl_->fd < 0) throw OrvaneError("書き込みはもう終わっています: " + impl_->path);
    WriteAll(impl_->fd, impl_->buffer, impl_->path);
    impl_->buffer.clear();
    int fd = impl_->fd;
    impl_->fd = -1;  // FinishAndRename closes it whatever happens
    FinishAndRename(fd, impl_->tempPath, impl_->path);
    impl_->committed = true;
}

void RemoveStaleTemporaries(const std::string& dir, const std::string& target) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return;
    std::vector<std::string> stale;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        const std::size_t tag = name.rfind(kPartialTag);
        if (name.size() > 1 && name[0] == '.' && tag != std::string::npos) {
            const long pid = std::strtol(name.c_str() + tag + sizeof kPartialTag - 1, nullptr, 10);
            if (ProcessGone(pid)) stale.push_back(name);
        } else if (name == kConversionTemp) {
            if (Unlocked(DirPrefix(dir) + name)) stale.push_back(name);
        } else if (OldTemporaryOf(name, target)) {
            stale.push_back(name);
        }
    }
    ::closedir(d);
    for (const std::string& name : stale) ::unlink((DirPrefix(dir) + name).c_str());
}

std::string TemporaryPathFor(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    const std::string dir = ExtractFileDir(target);
    const std::string name = BaseName(target);
    RemoveStaleTemporaries(dir, name);
    const std::string temp = DirPrefix(dir) + "." + name + kPartialTag + std::to_string(::getpid()) + "-" +
                             std::to_string(counter.fetch_add(1));
    ::unlink(temp.c_str());  // only a dead process of the same number can have left it
    return temp;
}

TemporaryFile::TemporaryFile(const std::string& target) : target_(target) { fd_ = CreateTemp(target, temp_); }

TemporaryFile::~TemporaryFile() {
    if (committed_) return;
    if (fd_ >= 0) ::close(fd_);
    ::unlink(temp_.c_str());
}

void TemporaryFile::Commit() {
    if (committed_ || fd_ < 0) throw OrvaneError("書き込みはもう終わっています: " + target_);
    // Writers that write by name may have replaced the file under the name: flush that one.
    int fd = ::open(temp_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        throw EInOutError(WriteFailureText(target_, e), e);
    }
    ::close(fd_);
    fd_ = -1;
    try {
        FinishAndRename(fd, temp_, target_);
    } catch (const EInOutError& e) {
        throw EInOutError(WriteFailureText(target_, e.Errno()), e.Errno());
    }
    committed_ = true;
}

TemporaryLock::TemporaryLock(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ >= 0) ::flock(fd_, LOCK_EX | LOCK_NB);
}

TemporaryLock::~TemporaryLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool FileExists(const std::string& path) {
    struct stat st{};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string ExtractFileDir(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return "";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string ExtractFileExt(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) return "";
    return path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
    std::string old = ExtractFileExt(path);
    return path.substr(0, path.size() - old.size()) + ext;
}

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string CsvQuoted(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace orvane
