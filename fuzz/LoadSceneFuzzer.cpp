// Feeds arbitrary bytes to LoadScene as a scene file held in memory, with the
// sample classes registered: the version check, the file layer (each load
// opens and closes the file) and the object reader together. A load that
// fails hands out nothing; after every input no sample object may be left
// alive.
#include <cstdint>
#include <cstdlib>

#include "engine/core/Engine.h"
#include "engine/core/Object.h"
#include "engine/files/CodecManager.h"
#include "engine/files/MemoryFile.h"
#include "engine/files/SceneFile.h"
#include "tests/support/SampleClasses.h"

using namespace zav;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (EngineInit() != 0 || LoadCodec("STRSceneCodec", nullptr) != 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 24)) return 0;
    {
        MemoryFile file("fuzz.STR");
        file.SetBorrowedSource(reinterpret_cast<const char*>(data), static_cast<int32_t>(size));
        for (int round = 0; round < 2; ++round) {  // a second load starts afresh
            Object* scene = reinterpret_cast<Object*>(&file);  // must stay untouched on failure
            int result = LoadScene(&file, &scene);
            if (result != 0 && scene != reinterpret_cast<Object*>(&file)) std::abort();
            if (file.IsOpen()) std::abort();
            Ref<Object> root(result == 0 ? scene : nullptr);
            if (root) root->FindObject("needle");
        }
    }
    test::SampleNode::BreakAllLinks();
    if (test::SampleNode::LiveCount() != 0 || test::SampleController::LiveCount() != 0) std::abort();
    return 0;
}
