// Feeds arbitrary bytes to ReadObject with the sample classes registered.
// What reads must survive the walks and save again; what saves must read
// back. After every input no sample object may be left alive: the reader
// releases what a failed read created, and BreakAllLinks undoes the
// reference cycles a successful read may legitimately build.
#include <cstdint>
#include <cstdlib>

#include "engine/core/Engine.h"
#include "engine/core/Object.h"
#include "engine/core/Stream.h"
#include "fuzz/FuzzInput.h"
#include "tests/support/SampleClasses.h"

using namespace zav;

namespace {

void Exercise(Object* root) {
    root->FindObject("needle");
    Array<Object*> controllers;
    root->CollectObjects(&Controller::StaticType(), controllers);
    root->UpdateControllers(0.25);

    Stream saved(0, 4096);
    if (saved.WriteObject(root) != 0) return;  // a read graph may nest deeper when written
    saved.SetPosition(0);
    Object* again = nullptr;
    saved.ReadObject(&again);
    Ref<Object> keep(again);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (EngineInit() != 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::kMaxInputSize) return 0;
    {
        Ref<Object> root = fuzz::ReadObjectFrom(data, size);
        if (root) Exercise(root.Get());
    }
    test::SampleNode::BreakAllLinks();
    if (test::SampleNode::LiveCount() != 0 || test::SampleController::LiveCount() != 0) std::abort();
    return 0;
}
