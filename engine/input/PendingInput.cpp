// The input manager is not part of this build yet: handlers cannot register.
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/input/InputManager.h"

namespace zav {

int RegisterInputHandler(InputHandler* handler) {
    if (!handler) return kNotFound;
    LogError("Менеджер ввода недоступен в этой сборке.");
    return kFailed;
}

}  // namespace zav
