#pragma once

#include <cstdint>
#include <cstdio>

#include "engine/core/Log.h"
#include "engine/core/Object.h"
#include "engine/core/Stream.h"

namespace zav::bench {

// Shows the engine's errors and warnings on stderr, so that a failing run
// says why.
class ErrorOutput : public MessageOutput {
public:
    ErrorOutput() : MessageOutput("stderr") {}
    void Print(int level, const String& text) override {
        if (level >= kLogWarning) std::fprintf(stderr, "%s%s\n", LogLevelPrefix(level), text.CStr());
    }
};

// `scene` saved and read back through a fresh stream, so that the objects
// lie in memory as a loaded scene's do; null (after saying why) when either
// fails. `bytes` gets the record's size.
inline Ref<Object> SavedAndReadBack(Object* scene, int32_t* bytes) {
    Stream saved(1 << 20, 1 << 24);
    if (saved.WriteObject(scene) != 0) {
        std::fprintf(stderr, "the generated scene cannot be saved\n");
        return nullptr;
    }
    // A fresh stream: the saving one knows every object already.
    Stream stream(saved.GetPosition(), 0);
    Object* loaded = nullptr;
    if (stream.Write(saved.GetData(), saved.GetPosition()) != 0 || stream.SetPosition(0) != 0 ||
        stream.ReadObject(&loaded) != 0) {
        std::fprintf(stderr, "the generated scene does not read back\n");
        return nullptr;
    }
    *bytes = stream.GetPosition();
    return Ref<Object>(loaded);
}

}  // namespace zav::bench
