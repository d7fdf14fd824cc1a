// strinfo --classes: prints the names of the classes a scene file can hold.
// strinfo [--time SECONDS [--seed N]] FILE: loads a scene file through the
// engine, with every engine class registered, and prints its object graph
// and the log's warnings and errors. With --time it also plays the scene for
// SECONDS in steps of 1/60 s, with a renderer without a device current, and
// prints where every node is then and what the screensaver controller shows.
// The file's folder joins the virtual file tree, so that the pictures the
// scene names (Textures/...) are found beside it, as in the Media archive.
// Exits with 0 when the scene loads (and, with --time, its root is a node),
// 1 when it does not, 2 on a wrong command line.
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unordered_set>

#include "engine/animation/ScreensaverController.h"
#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Object.h"
#include "engine/core/ObjectFactory.h"
#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/files/DiskFolder.h"
#include "engine/files/File.h"
#include "engine/files/SceneFile.h"
#include "engine/platform/Platform.h"
#include "engine/render/Renderer.h"
#include "engine/render/null/NullRenderer.h"
#include "engine/scene/Node.h"
#include "tools/strinfo/SceneTree.h"

namespace {

using namespace zav;

constexpr double kStep = 1.0 / 60.0;
constexpr double kMaxSeconds = 3600.0;

struct Options {
    std::string file;
    bool play = false;
    double seconds = 0.0;
    bool seeded = false;
    unsigned seed = 0;
};

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        char* end = nullptr;
        if (arg == "--time" && hasValue) {
            options->play = true;
            options->seconds = std::strtod(argv[++i], &end);
            if (*end || !std::isfinite(options->seconds) || options->seconds < 0 || options->seconds > kMaxSeconds)
                return false;
        } else if (arg == "--seed" && hasValue) {
            errno = 0;
            const unsigned long seed = std::strtoul(argv[++i], &end, 10);
            if (*end || errno || seed > 0xffffffffUL) return false;
            options->seeded = true;
            options->seed = static_cast<unsigned>(seed);
        } else if (arg.compare(0, 2, "--") == 0 || !options->file.empty()) {
            return false;
        } else {
            options->file = arg;
        }
    }
    return !options->file.empty() && (options->play || !options->seeded);
}

void PrintNumbers(std::ostream& out, std::initializer_list<float> values) {
    for (float value : values) out << ' ' << value;
}

// Every node the scene reaches, once each, with its world transform; then
// the first screensaver controller's shot.
void PrintPlayedScene(std::ostream& out, Object& scene, double seconds) {
    out << "After " << seconds << " s:\n";
    Array<Object*> nodes;
    scene.CollectObjects(&Node::StaticType(), nodes);
    std::unordered_set<Object*> shown;
    for (Object* object : nodes) {
        if (!shown.insert(object).second) continue;
        const Transform& world = static_cast<Node*>(object)->GetWorldTransform();
        out << '"' << platform::CodePageToUtf8(object->GetName().CStr()) << "\" translation";
        PrintNumbers(out, {world.translation.x, world.translation.y, world.translation.z});
        out << " rotation";
        PrintNumbers(out, {world.rotation.x, world.rotation.y, world.rotation.z, world.rotation.w});
        out << '\n';
    }
    Array<Object*> controllers;
    scene.CollectObjects(&ScreensaverController::StaticType(), controllers);
    if (controllers.IsEmpty()) {
        out << "No screensaver controller.\n";
        return;
    }
    const auto* screensaver = static_cast<ScreensaverController*>(controllers[0]);
    out << "Screensaver \"" << platform::CodePageToUtf8(screensaver->GetName().CStr()) << "\": set "
        << screensaver->GetCurrentSet() << ", elapsed " << screensaver->GetElapsed() << " s, fade "
        << screensaver->GetFadeOpacity() << '\n';
}

// Updates the scene from its root as the screensaver's frame loop does.
int Play(Object& scene, const Options& options) {
    Node* root = ObjectCast<Node>(&scene);
    if (!root) {
        std::cout << "The scene's root is not a node: nothing to play.\n";
        return kFailed;
    }
    root->UpdateSubtree(0.0, true);
    const long steps = std::lround(options.seconds / kStep);
    for (long step = 0; step < steps; ++step) root->UpdateSubtree(kStep, true);
    PrintPlayedScene(std::cout, scene, options.seconds);
    return kOk;
}

// The classes that scene files can name, one a line.
int PrintClasses() {
    if (EngineInit() != kOk) return 1;
    for (const String& name : CreatableTypeNames()) std::cout << name.CStr() << '\n';
    EngineShutdown();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--classes") return PrintClasses();
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::cerr << "usage: strinfo [--time SECONDS [--seed N]] FILE.STR | strinfo --classes\n";
        return 2;
    }
    Ref<tools::SceneTreeRecorder> recorder(new tools::SceneTreeRecorder());
    RegisterMessageOutput(recorder.Get());
    int result = EngineInit();
    if (result == kOk) {
        LoadCodec("STRSceneCodec", nullptr);
        for (const char* codec : {"TGAImageCodec", "JPGImageCodec", "BMPImageCodec", "CUBEImageCodec"})
            LoadCodec(codec, nullptr);
        const std::filesystem::path folder = std::filesystem::u8path(options.file).parent_path();
        MountDiskFolder(folder.empty() ? "." : folder.u8string().c_str());
        // Camera switching needs a current renderer; the screensaver
        // controller chooses its first shot while the scene loads.
        if (options.play && (RegisterNullRendererModule() != kOk || CreateRenderer("NullRenderer") != kOk))
            result = kFailed;
        if (options.seeded) std::srand(options.seed);
    }
    int played = kOk;
    if (result == kOk) {
        // The engine names files in its own code page; the file opens under
        // the path converted back.
        File file(platform::Utf8ToCodePage(options.file.c_str()).c_str());
        Object* scene = nullptr;
        result = LoadScene(&file, &scene);
        Ref<Object> loaded(scene);
        recorder->PrintTree(std::cout);
        if (result == kOk && options.play) played = Play(*loaded, options);
        if (Renderer* renderer = GetRenderer()) renderer->SetCamera(nullptr);
    }
    if (result != kOk) std::cout << "The scene did not load.\n";
    recorder->PrintProblems(std::cout);
    DestroyRenderer();
    EngineShutdown();
    UnregisterMessageOutput(recorder.Get());
    return result == kOk && played == kOk ? 0 : 1;
}
