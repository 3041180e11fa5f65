#include "core/runtime/Jobs.h"

#include <sched.h>

#include <algorithm>
#include <thread>

#include "core/runtime/Errors.h"

namespace orvane {

int UsableCores() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return CPU_COUNT(&set);
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

int ThreadsForJobs(int jobs) {
    if (jobs < 0 || jobs > 256) throw OrvaneError("スレッドの数 (jobs) は 0 から 256 までです (0: 使えるコアの数)。");
    return jobs == 0 ? UsableCores() : jobs;
}

}  // namespace orvane
