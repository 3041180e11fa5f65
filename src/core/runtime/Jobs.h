#pragma once
// The thread count of a long run, the same in every front end.
namespace orvane {

// The cores this process may run on (a container or taskset may allow fewer than the
// machine has); at least 1.
int UsableCores();
// `jobs` threads, or UsableCores() for 0. Raises OrvaneError outside 0..256.
int ThreadsForJobs(int jobs);

}  // namespace orvane
