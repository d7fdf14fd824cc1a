#include "engine/platform/BlobRegistry.h"

#include <map>
#include <string>
#include <utility>

namespace zav::platform {

namespace {

std::map<std::pair<std::string, int>, Blob>& Registered() {
    static std::map<std::pair<std::string, int>, Blob> blobs;
    return blobs;
}

}  // namespace

void RegisterBlob(const char* type, int id, const void* data, size_t size) {
    Registered()[{type, id}] = Blob{data, size};
}

void UnregisterBlob(const char* type, int id) { Registered().erase({type, id}); }

bool FindRegisteredBlob(const char* type, int id, Blob* blob) {
    auto it = Registered().find({type, id});
    if (it == Registered().end()) return false;
    *blob = it->second;
    return true;
}

}  // namespace zav::platform
