#pragma once
// The one cancel flag of a long computation. Every long loop of the core asks it (the
// velocity and height series, the SDF upgrade, series export, import and convert, and the
// shoaling runs through Progress::Cancelled). The command line sets the process's flag
// from its SIGINT/SIGTERM handler, the windows from the キャンセル button of the progress
// dialog, the Python module from a signal seen by the calling thread.
#include <atomic>
#include <csignal>

#include "core/runtime/Errors.h"

namespace orvane {

class CancelFlag {
public:
    // Who asked: a signal number, or Button.
    static constexpr int Button = -1;
    // Async-signal-safe: one lock-free store.
    void Request(int reason = Button) noexcept { reason_.store(reason == 0 ? Button : reason, std::memory_order_relaxed); }
    bool Requested() const noexcept { return reason_.load(std::memory_order_relaxed) != 0; }
    int Reason() const noexcept { return reason_.load(std::memory_order_relaxed); }
    void Clear() noexcept { reason_.store(0, std::memory_order_relaxed); }
private:
    std::atomic<int> reason_{0};
    static_assert(std::atomic<int>::is_always_lock_free, "a signal handler sets the flag");
};

// The flag of this process: the command line's signals and the windows' cancel button.
CancelFlag& ProcessCancel() noexcept;

// A run stopped by the flag. Whatever it was writing is not created.
class CancelledError : public OrvaneError {
public:
    CancelledError() : OrvaneError("中断しました。出力ファイルは作成されていません。") {}
};
// Raises CancelledError when `flag` (may be null) is set.
inline void ThrowIfCancelled(const CancelFlag* flag) {
    if (flag && flag->Requested()) throw CancelledError();
}

}  // namespace orvane
