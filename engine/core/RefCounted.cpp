#include "engine/core/RefCounted.h"

#include "engine/core/Log.h"

namespace zav {

RefCounted::~RefCounted() {
    if (refCount_ > 0) LogWarning("Удаление объекта, имеющего ссылки. Количество ссылок [%d].", refCount_);
}

}  // namespace zav
