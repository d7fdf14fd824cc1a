// The "DirectX9" module's renderer factory where no Direct3D 9 back end is
// built: it reports the missing device and fails.
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/BuiltinModules.h"

namespace zav {

int CreateDirectX9Renderer(Renderer** renderer) {
    if (renderer) *renderer = nullptr;
    LogError("Рендерер [DirectX9] недоступен в этой сборке.");
    return kFailed;
}

}  // namespace zav
