#include "tools/scenegen/ScenePictures.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unordered_set>

#include "engine/animation/AnimationController.h"
#include "engine/core/Array.h"
#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/files/File.h"
#include "engine/platform/Platform.h"
#include "engine/render/Image.h"

namespace zav::scenegen {

bool WriteScenePictures(Object& scene, const std::string& folder) {
    // The scene's search does not pass into animation controllers' animations,
    // whose texture keys may name pictures of their own.
    Array<Object*> images, controllers;
    scene.CollectObjects(&Image::StaticType(), images);
    scene.CollectObjects(&AnimationController::StaticType(), controllers);
    for (Object* controller : controllers)
        for (int32_t i = 0; i < static_cast<AnimationController*>(controller)->GetAnimationCount(); ++i)
            if (Animation* animation = static_cast<AnimationController*>(controller)->GetAnimation(i))
                animation->CollectObjects(&Image::StaticType(), images);
    std::unordered_set<Object*> written;
    for (Object* object : images) {
        if (!written.insert(object).second) continue;
        auto* image = static_cast<Image*>(object);
        if (image->GetFileName().IsEmpty()) continue;
        const std::filesystem::path path = std::filesystem::u8path(folder) / image->GetFileName().CStr();
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
        File file(platform::Utf8ToCodePage(path.u8string().c_str()).c_str());
        ImageCodec* codec = FindCodecForFile<ImageCodec>(&file);
        const int result =
            error ? kFailed : !image->GetPixels() ? kNotFound : codec ? codec->EncodeImage(&file, image) : kNotFound;
        if (result != kOk) {
            std::fprintf(stderr, "scenegen: cannot write %s (%d)\n", path.u8string().c_str(), result);
            return false;
        }
    }
    return true;
}

}  // namespace zav::scenegen
