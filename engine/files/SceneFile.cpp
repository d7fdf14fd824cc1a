#include "engine/files/SceneFile.h"

#include "engine/core/Log.h"
#include "engine/core/Object.h"
#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/files/File.h"

namespace zav {

namespace {

// The scene codec for the file, or null after the warnings of a missing
// argument or codec. A codec of another kind counts as none.
SceneCodec* SceneCodecFor(File* file, const void* scene) {
    if (!file || !scene) {
        LogWarning("Указатель на файл или сцену равен 0.");
        return nullptr;
    }
    SceneCodec* codec = FindCodecForFile<SceneCodec>(file);
    if (!codec) LogWarning("Не найден кодек для файла [%s].", file->GetFullName().CStr());
    return codec;
}

}  // namespace

int LoadScene(File* file, Object** scene) {
    SceneCodec* codec = SceneCodecFor(file, scene);
    if (!codec) return kNotFound;
    if (codec->LoadScene(file, scene) != kOk) {
        LogError("Неудачна загрузка сцены из файла [%s].", file->GetFullName().CStr());
        return kFailed;
    }
    return kOk;
}

int SaveScene(File* file, Object* scene) {
    SceneCodec* codec = SceneCodecFor(file, scene);
    if (!codec) return kNotFound;
    if (codec->SaveScene(file, scene) != kOk) {
        LogError("Неудачно сохранение сцены в файл [%s].", file->GetFullName().CStr());
        return kFailed;
    }
    return kOk;
}

}  // namespace zav
