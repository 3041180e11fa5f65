// TSD header reading and the burst and channel readers over arbitrary text.
#include <cstdint>
#include <sstream>
#include <vector>
#include "core/runtime/Errors.h"
#include "core/runtime/ScriptedPrompter.h"
#include "core/series/SeriesStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvane;
    const std::string text(reinterpret_cast<const char*>(data), size);
    SeriesStore store;
    ScriptedPrompter prompter;
    prompter.defaultYes = (size % 2) == 0;  // both answers to the out-of-range question
    try {
        std::istringstream head(text);
        if (!store.ReadTsdHeader(head, prompter)) return 0;
        for (int burst : {0, 1}) {
            std::istringstream in(text);
            store.ReadTsdBurst(in, burst, prompter);
        }
        // Callers size the array only when there is an interval channel to read.
        std::vector<float> values(store.header.NchInterval > 0 ? static_cast<std::size_t>(store.header.SampleSize) : 0);
        for (int ch = 0; ch < store.header.NchInterval && ch < 3; ++ch) {
            std::istringstream in(text);
            store.ReadTsdChannel(in, 0, ch, values, prompter);
        }
    } catch (const OrvaneError&) {
    }
    return 0;
}
