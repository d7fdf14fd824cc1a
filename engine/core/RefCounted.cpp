#include "engine/core/RefCounted.h"

#include <new>
#include <vector>

#include "engine/core/Log.h"

namespace zav {

namespace {

constexpr int kMaxNestedDestruction = 64;

int gDestructionDepth = 0;
// Objects whose destruction waits for the outermost one. Never freed, so that
// objects released by static destructors at exit still find it.
std::vector<RefCounted*>* gWaiting = nullptr;

bool Postpone(RefCounted* object) {
    try {
        if (!gWaiting) gWaiting = new std::vector<RefCounted*>();
        gWaiting->push_back(object);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

RefCounted::~RefCounted() {
    if (refCount_ > 0) LogWarning("Удаление объекта, имеющего ссылки. Количество ссылок [%d].", refCount_);
}

void RefCounted::Destroy(RefCounted* object) {
    if (gDestructionDepth >= kMaxNestedDestruction && Postpone(object)) return;
    ++gDestructionDepth;
    delete object;
    if (gDestructionDepth == 1) {
        while (gWaiting && !gWaiting->empty()) {
            RefCounted* next = gWaiting->back();
            gWaiting->pop_back();
            delete next;
        }
    }
    --gDestructionDepth;
}

}  // namespace zav
