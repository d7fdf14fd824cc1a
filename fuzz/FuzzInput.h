#pragma once

#include <cstdint>
#include <cstdlib>

#include "engine/core/Object.h"
#include "engine/core/Stream.h"

namespace zav::fuzz {

// Inputs larger than this are passed over.
constexpr size_t kMaxInputSize = 1u << 24;

// Reads one object reference from the fuzzer's bytes. A failed read must
// hand out nothing; one that does is a finding.
inline Ref<Object> ReadObjectFrom(const uint8_t* data, size_t size) {
    Stream stream(static_cast<int32_t>(size), 0);
    stream.Write(data, static_cast<int32_t>(size));
    stream.SetPosition(0);
    Object* object = nullptr;
    int state = stream.ReadObject(&object);
    if (state != 0 && object) std::abort();
    return Ref<Object>(object);
}

}  // namespace zav::fuzz
