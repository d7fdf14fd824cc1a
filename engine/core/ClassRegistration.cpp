#include "engine/core/ClassRegistration.h"

namespace zav {

int RefuseToCreate(Object** object) {
    if (object) *object = nullptr;
    return kFailed;
}

}  // namespace zav
