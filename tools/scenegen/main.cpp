// scenegen OUTFILE: builds the screensaver's scene and saves it through the
// scene codec that OUTFILE's extension selects (".STR"), and writes the
// pictures its textures name into OUTFILE's folder (Textures/...). The same
// bytes on every run. Exit status 0, 1 when the scene or a picture cannot be
// saved, 64 on wrong usage.
#include <cstdio>
#include <filesystem>

#include "engine/core/Result.h"
#include "engine/files/File.h"
#include "engine/files/SceneFile.h"
#include "engine/platform/Platform.h"
#include "tools/EngineSession.h"
#include "tools/scenegen/HarbourScene.h"
#include "tools/scenegen/ScenePictures.h"

int main(int argc, char** argv) {
    using namespace zav;
    if (argc != 2) {
        std::fprintf(stderr, "usage: scenegen OUTFILE.STR\n");
        return 64;
    }
    tools::EngineSession engine({"STRSceneCodec", "TGAImageCodec", "JPGImageCodec", "CUBEImageCodec"});
    if (!engine.Started()) return 1;
    Ref<SceneNode> scene = scenegen::BuildHarbourScene();
    File file(platform::Utf8ToCodePage(argv[1]).c_str());
    const int result = SaveScene(&file, scene.Get());
    if (result != kOk) {
        std::fprintf(stderr, "scenegen: cannot write %s (%d)\n", argv[1], result);
        return 1;
    }
    const std::filesystem::path folder = std::filesystem::u8path(argv[1]).parent_path();
    return scenegen::WriteScenePictures(*scene, folder.empty() ? "." : folder.u8string()) ? 0 : 1;
}
