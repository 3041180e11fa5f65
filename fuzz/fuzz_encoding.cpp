// The text-encoding decision over arbitrary bytes: what it chooses reads the whole text,
// it fails only when neither encoding does, and a text both read is CP932 unless marked.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/runtime/Errors.h"
#include "core/runtime/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvane;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const bool bom = bytes.starts_with("\xEF\xBB\xBF");
    const bool utf8 = IsValidUtf8(bom ? bytes.substr(3) : bytes);
    const bool cp932 = !bom && IsValidCp932(bytes);
    DetectedText d;
    try {
        d = DetectTextEncoding(bytes, "fuzz");
    } catch (const EConvertError&) {
        if (utf8 || cp932) __builtin_trap();  // one of the two reads it
        return 0;
    }
    if (d.kind == DetectedText::Utf8 ? !utf8 : !cp932) __builtin_trap();
    if (d.bom != (bom ? 3u : 0u)) __builtin_trap();
    // Every line decodes in the chosen encoding.
    std::string_view rest = bytes.substr(d.bom);
    for (std::size_t start = 0; start <= rest.size();) {
        std::size_t end = rest.find('\n', start);
        if (end == std::string_view::npos) end = rest.size();
        try {
            DecodeLine(rest.substr(start, end - start), d.kind);
        } catch (const EConvertError&) {
            __builtin_trap();
        }
        start = end + 1;
    }
    return 0;
}
