// SDF header decoding and the burst and channel readers over arbitrary bytes.
#include <cstdint>
#include <sstream>
#include <vector>
#include "core/runtime/Errors.h"
#include "core/series/SeriesStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvane;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    SeriesStore store;
    try {
        if (DecodeSdfHeader(bytes.data(), bytes.size(), static_cast<std::int64_t>(bytes.size()), store.header) != 4)
            return 0;
        store.HeaderBlocks = SdfHeaderBlocks(store.header);
        store.BlockBytes = SdfBlockBytes(store.header);
        store.AllocateSeriesData();
        for (int burst : {0, 1, store.header.Iteration - 1}) {
            std::istringstream in(bytes);
            store.ReadSdfBurst(in, burst);
        }
        // Callers size the array only when there is an interval channel to read.
        std::vector<float> values(store.header.NchInterval > 0 ? static_cast<std::size_t>(store.header.SampleSize) : 0);
        for (int ch = 0; ch < store.header.NchInterval && ch < 3; ++ch) {
            std::istringstream in(bytes);
            store.ReadSdfChannel(in, 0, ch, values);
        }
    } catch (const OrvaneError&) {
    }
    return 0;
}
