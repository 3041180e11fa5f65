#include "ui/app/Guard.h"
#include <exception>
#include <new>
#include "core/runtime/Errors.h"

bool RunGuarded(AppContext& ctx, const std::function<void()>& action) {
    std::string message;
    try {
        action();
        return true;
    } catch (const std::bad_alloc&) {
        message = "メモリが不足しています";
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "予期しないエラーが発生しました";
    }
    if (ctx.prompter) ctx.prompter->Error(message);
    return false;
}
