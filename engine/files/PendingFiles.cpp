// File-manager and codec-manager entry points that this build does not
// provide yet; each reports itself and fails cleanly.
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/files/FileManager.h"

namespace zav {

int LoadCodec(const String& name, Codec** codec) {
    if (codec) *codec = nullptr;
    LogError("Менеджер кодеков недоступен в этой сборке. Кодек [%s] не загружен.", name.CStr());
    return kFailed;
}

int MountResourceArchive(int id, const String& name, const String&) {
    LogError("Менеджер файлов недоступен в этой сборке. Ресурс ID[%d] [%s] не подсоединён.", id, name.CStr());
    return kFailed;
}

}  // namespace zav
