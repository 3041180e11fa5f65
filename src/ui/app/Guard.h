#pragma once
// Every event handler runs inside RunGuarded: an exception becomes the standard error box
// and never crosses the Qt event loop.
#include <functional>
#include "ui/app/AppContext.h"

// Runs `action`; on an exception shows its message in the standard error box through
// ctx.prompter. Returns false when an exception was caught.
bool RunGuarded(AppContext& ctx, const std::function<void()>& action);
