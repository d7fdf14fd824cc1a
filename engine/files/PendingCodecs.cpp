// Codec factories of formats that this build does not decode yet. Each
// reports the missing codec and fails, so loading it fails cleanly.
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/BuiltinModules.h"

namespace zav {

namespace {

int Unavailable(const char* name, Codec** codec) {
    if (codec) *codec = nullptr;
    LogError("Кодек [%s] недоступен в этой сборке.", name);
    return kFailed;
}

}  // namespace

int CreateBmpImageCodec(Codec** codec) { return Unavailable("BMPImageCodec", codec); }
int CreateJpgImageCodec(Codec** codec) { return Unavailable("JPGImageCodec", codec); }
int CreateTgaImageCodec(Codec** codec) { return Unavailable("TGAImageCodec", codec); }
int CreateCubeImageCodec(Codec** codec) { return Unavailable("CUBEImageCodec", codec); }

}  // namespace zav
