// Writing and reading a year of one-minute samples (525600 x 4 channels) through the
// series store, as the wave-velocity tool does.
#include <filesystem>
#include <vector>
#include <benchmark/benchmark.h>
#include "core/runtime/Progress.h"
#include "core/runtime/ScriptedPrompter.h"
#include "core/series/SeriesStore.h"

namespace {

constexpr int kSamples = 525600;
constexpr int kChannels = 4;

std::string Path(const char* ext) {
    return (std::filesystem::temp_directory_path() / (std::string("orvane_bench_series") + ext)).string();
}

void Fill(orvane::SeriesStore& store) {
    auto& h = store.header;
    h.NchInterval = kChannels;
    h.SampleSize = kSamples;
    h.Iteration = 1;
    for (int i = 0; i < kChannels; ++i) h.CoefA[i] = 0.01f;
    store.AllocateSeriesData();
    for (int ch = 0; ch < kChannels; ++ch)
        for (int s = 0; s < kSamples; ++s) store.IntervalData[ch][s] = static_cast<std::int16_t>((s * 7 + ch) % 20000 - 10000);
}

void BM_WriteSdfYear(benchmark::State& state) {
    orvane::SeriesStore store;
    Fill(store);
    const std::string path = Path(".sdf");
    for (auto _ : state) {
        std::filesystem::remove(path);
        store.WriteOutputHeader(path);
        store.WriteSdfBurst(0);
    }
    state.SetItemsProcessed(state.iterations() * kSamples * kChannels);
}
BENCHMARK(BM_WriteSdfYear)->Unit(benchmark::kMillisecond);

void BM_AppendTsdYear(benchmark::State& state) {
    orvane::SeriesStore store;
    Fill(store);
    const std::string path = Path(".tsd");
    for (auto _ : state) {
        store.WriteOutputHeader(path);
        store.AppendTsdBurst(0);
    }
    state.SetItemsProcessed(state.iterations() * kSamples * kChannels);
}
BENCHMARK(BM_AppendTsdYear)->Unit(benchmark::kMillisecond);

void BM_ReadChannelYear(benchmark::State& state) {
    const char* ext = state.range(0) == 0 ? ".sdf" : ".tsd";
    orvane::SeriesStore store;
    Fill(store);
    const std::string path = Path(ext);
    std::filesystem::remove(path);
    store.WriteOutputHeader(path);
    if (state.range(0) == 0) store.WriteSdfBurst(0);
    else store.AppendTsdBurst(0);
    orvane::ScriptedPrompter prompter;
    orvane::NullProgress progress;
    store.OpenSeriesHeader(path, prompter, progress);
    store.DataFileName = path;
    std::vector<float> values(kSamples);
    for (auto _ : state) benchmark::DoNotOptimize(store.ReadChannel(0, 2, values, prompter));
    state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_ReadChannelYear)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
