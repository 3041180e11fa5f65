#include "core/runtime/Cancel.h"

namespace orvane {
namespace {
// Constant-initialised: a signal handler may be the first to touch it.
constinit CancelFlag gProcessCancel;
}  // namespace

CancelFlag& ProcessCancel() noexcept { return gProcessCancel; }

}  // namespace orvane
