// scenerender [--data DIR]... [--archive FILE.rar2]... [--size WxH] [--time SECONDS]
//             [--camera NAME] [--fixed-function] SCENE.STR OUT.bmp
//
// Renders one frame of a scene file through the Direct3D 9 renderer and
// writes it as a 24-bit BMP: the disk folders and archives given join the
// virtual file tree (so that the pictures the scene names are found), the
// scene is updated for SECONDS in steps of 1/60 s and drawn through the
// named camera (by default the current one, else the first camera of the
// scene) on a window of W × H (256 × 256 by default) placed off the screen.
// --fixed-function makes the renderer report no shaders. Exit status 0, or
// 1 with the engine's errors on stderr; 64 on wrong usage.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/SystemWindow.h"
#include "engine/core/Array.h"
#include "engine/core/Result.h"
#include "engine/files/Codec.h"
#include "engine/files/CodecManager.h"
#include "engine/files/DiskFolder.h"
#include "engine/files/File.h"
#include "engine/files/FileManager.h"
#include "engine/files/SceneFile.h"
#include "engine/platform/Platform.h"
#include "engine/render/Image.h"
#include "engine/render/Renderer.h"
#include "engine/render/d3d9/D3D9Renderer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/Node.h"
#include "tools/EngineSession.h"

namespace {

using namespace zav;

constexpr double kStep = 1.0 / 60.0;

struct Options {
    std::vector<std::string> folders;
    std::vector<std::string> archives;
    int width = 256;
    int height = 256;
    double seconds = 0.0;
    std::string camera;
    bool fixedFunction = false;
    std::string scene;
    std::string output;
};

int Usage() {
    std::fprintf(stderr,
                 "usage: scenerender [--data DIR]... [--archive FILE.rar2]... [--size WxH] [--time SECONDS]\n"
                 "                   [--camera NAME] [--fixed-function] SCENE.STR OUT.bmp\n");
    return 64;
}

bool ParseSize(const char* text, int* width, int* height) {
    char* end = nullptr;
    const long w = std::strtol(text, &end, 10);
    if (end == text || (*end != 'x' && *end != 'X')) return false;
    const char* rest = end + 1;
    const long h = std::strtol(rest, &end, 10);
    if (end == rest || *end || w < 1 || h < 1 || w > 8192 || h > 8192) return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

bool ParseOptions(int argc, char** argv, Options* options) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--data" && hasValue) {
            options->folders.push_back(argv[++i]);
        } else if (arg == "--archive" && hasValue) {
            options->archives.push_back(argv[++i]);
        } else if (arg == "--size" && hasValue) {
            if (!ParseSize(argv[++i], &options->width, &options->height)) return false;
        } else if (arg == "--time" && hasValue) {
            char* end = nullptr;
            options->seconds = std::strtod(argv[++i], &end);
            if (*end || !std::isfinite(options->seconds) || options->seconds < 0 || options->seconds > 3600)
                return false;
        } else if (arg == "--camera" && hasValue) {
            options->camera = argv[++i];
        } else if (arg == "--fixed-function") {
            options->fixedFunction = true;
        } else if (arg.compare(0, 2, "--") == 0) {
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) return false;
    options->scene = positional[0];
    options->output = positional[1];
    return true;
}

int Fail(const char* what, const std::string& detail = std::string()) {
    std::fprintf(stderr, "scenerender: %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
    return 1;
}

// The camera to look through: the named one, else the renderer's current
// one, else the first camera of the scene.
Camera* ChooseCamera(Object& scene, Renderer& renderer, const std::string& name) {
    if (!name.empty()) return ObjectCast<Camera>(scene.FindObject(platform::Utf8ToCodePage(name.c_str()).c_str()));
    if (Camera* current = renderer.GetCamera()) return current;
    Array<Object*> cameras;
    scene.CollectObjects(&Camera::StaticType(), cameras);
    return cameras.IsEmpty() ? nullptr : static_cast<Camera*>(cameras[0]);
}

int WindowedMode(const Renderer& renderer) {
    const std::vector<DisplayMode>& modes = renderer.GetModes();
    for (size_t i = 0; i < modes.size(); ++i)
        if (!modes[i].fullScreen && modes[i].samples == 1) return static_cast<int>(i);
    return -1;
}

int Render(const Options& options, D3D9Renderer& renderer) {
    for (const std::string& folder : options.folders)
        if (MountDiskFolder(folder.c_str()) != kOk) return Fail("cannot add the folder", folder);
    for (const std::string& archive : options.archives) {
        File file(platform::Utf8ToCodePage(archive.c_str()).c_str());
        if (MountArchive(&file, String()) != kOk) return Fail("cannot mount the archive", archive);
    }
    if (options.fixedFunction) renderer.DisableShaders(true);
    const int mode = WindowedMode(renderer);
    // Off the screen: the frame is read back from the device, not the display.
    if (mode < 0 || renderer.OpenWindow(mode, "scenerender", nullptr, -options.width - 64, 0, options.width,
                                        options.height) != kOk)
        return Fail("cannot create the Direct3D 9 device");

    File sceneFile(platform::Utf8ToCodePage(options.scene.c_str()).c_str());
    Object* loaded = nullptr;
    if (LoadScene(&sceneFile, &loaded) != kOk || !loaded) return Fail("cannot load the scene", options.scene);
    Ref<Object> scene(loaded);
    Node* root = ObjectCast<Node>(scene.Get());
    if (!root) return Fail("the scene's root is not a node");

    Camera* camera = ChooseCamera(*scene, renderer, options.camera);
    if (!options.camera.empty() && !camera) return Fail("no camera of that name", options.camera);
    renderer.SetCamera(camera);
    root->UpdateSubtree(0.0, true);
    for (double done = 0.0; done + kStep / 2 < options.seconds; done += kStep) root->UpdateSubtree(kStep, true);
    if (!options.camera.empty()) renderer.SetCamera(camera);  // controllers may have switched it
    if (!renderer.GetCamera()) renderer.SetCamera(ChooseCamera(*scene, renderer, std::string()));

    renderer.Clear(kClearColor | kClearDepth | kClearStencil, Color{0, 0, 0, 1}, 1.0f, 0);
    if (renderer.BeginRender() != kOk) return Fail("cannot begin the frame");
    root->Draw(renderer);
    renderer.FlushDeferred();
    Ref<Image> frame(new Image("frame"));
    const int read = renderer.ReadBackBuffer(*frame);
    renderer.EndRender();
    if (read != kOk) return Fail("cannot read the frame back");

    File out(platform::Utf8ToCodePage(options.output.c_str()).c_str());
    ImageCodec* codec = FindCodecForFile<ImageCodec>(&out);
    if (!codec || codec->EncodeImage(&out, frame.Get()) != kOk) return Fail("cannot write", options.output);
    renderer.SetCamera(nullptr);
    scene = nullptr;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) return Usage();
    tools::EngineSession session(
        {"BMPImageCodec", "JPGImageCodec", "TGAImageCodec", "CUBEImageCodec", "STRSceneCodec", "RAR2FileCodec"});
    if (!session.Started()) return 1;
    InstallSystemWindow();
    if (CreateRenderer("DirectX9") != kOk) return Fail("cannot create the DirectX9 renderer");
    int result = 1;
    if (auto* renderer = dynamic_cast<D3D9Renderer*>(GetRenderer())) {
        result = Render(options, *renderer);
        renderer->CloseWindow();
    }
    DestroyRenderer();
    return result;
}
