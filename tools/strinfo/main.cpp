// strinfo FILE: loads a scene file through the engine, with every engine
// class registered, and prints its object graph and the log's warnings and
// errors. Exits with 0 when the scene loads, 1 when it does not, 2 on a
// wrong command line.
#include <iostream>
#include <string>

#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Object.h"
#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/files/File.h"
#include "engine/files/SceneFile.h"
#include "engine/platform/Platform.h"
#include "tools/strinfo/SceneTree.h"

int main(int argc, char** argv) {
    using namespace zav;
    if (argc != 2) {
        std::cerr << "usage: strinfo FILE.STR\n";
        return 2;
    }
    Ref<tools::SceneTreeRecorder> recorder(new tools::SceneTreeRecorder());
    RegisterMessageOutput(recorder.Get());
    int result = EngineInit();
    if (result == kOk) {
        LoadCodec("STRSceneCodec", nullptr);
        // The engine names files in its own code page; the file opens under
        // the path converted back.
        File file(platform::Utf8ToCodePage(argv[1]).c_str());
        Object* scene = nullptr;
        result = LoadScene(&file, &scene);
        Ref<Object> loaded(scene);
        recorder->PrintTree(std::cout);
    }
    if (result != kOk) std::cout << "The scene did not load.\n";
    recorder->PrintProblems(std::cout);
    EngineShutdown();
    UnregisterMessageOutput(recorder.Get());
    return result == kOk ? 0 : 1;
}
