#include "engine/files/STRSceneCodec.h"

#include <cstdint>
#include <new>

#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Object.h"
#include "engine/core/Result.h"
#include "engine/core/Values.h"
#include "engine/files/BuiltinModules.h"
#include "engine/files/File.h"

namespace zav {

namespace {

// Versions compare as major * 10000 + minor * 100 + patch, in 64 bits so
// that no stored triple can overflow into an accepted value.
int64_t VersionValue(int64_t major, int64_t minor, int64_t patch) { return major * 10000 + minor * 100 + patch; }

}  // namespace

STRSceneCodec::STRSceneCodec() : SceneCodec("STRSceneCodec") {
    AddExtension("STR");
    AddExtension("str");
    AddExtension("Str");
}

int STRSceneCodec::LoadScene(File* file, Object** scene) {
    if (!file || !scene) return kNotFound;
    if (file->Open(kFileRead) != kOk) return kFailed;
    Version version;
    Object* root = nullptr;
    bool read = file->ReadVersion(version) == kOk;
    if (read && VersionValue(version.major, version.minor, version.patch) <
                    VersionValue(kEngineVersionMajor, kEngineVersionMinor, kEngineVersionBuild)) {
        LogWarning("Версия файла сцены [%d.%d.%d] старше версии движка.", version.major, version.minor,
                   version.patch);
        read = false;
    }
    read = read && file->ReadObject(&root) == kOk;
    if (file->Close() != kOk) {
        Ref<Object> discard(root);  // it arrived with a count of 0
        return kFailed;
    }
    if (!read) return kFailed;  // a failed read released what it created
    *scene = root;
    return kOk;
}

int STRSceneCodec::SaveScene(File* file, Object* scene) {
    if (!file || !scene || file->Open(kFileWrite) != kOk) return kFailed;
    // A failed write leaves the stream failed, which the close reports.
    file->WriteVersion(Version{kEngineVersionMajor, kEngineVersionMinor, kEngineVersionBuild});
    file->WriteObject(scene);
    return file->Close() == kOk ? kOk : kFailed;
}

int CreateStrSceneCodec(Codec** codec) {
    if (!codec) return kNotFound;
    *codec = new (std::nothrow) STRSceneCodec();
    return *codec ? kOk : kOutOfMemory;
}

}  // namespace zav
