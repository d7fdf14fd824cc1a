#include "engine/files/BuiltinModules.h"

#include <new>

#include "engine/core/Engine.h"
#include "engine/core/Result.h"
#include "engine/files/ModuleManager.h"

namespace zav {

namespace {

int DoNothing() { return kOk; }

template <int (*Create)(Codec**)>
int RegisterCodecModule(const char* name) {
    return RegisterBuiltinModule(name, "CreateCodec", ToModuleSymbol(Create));
}

int RegisterDirectX9() {
    return RegisterBuiltinModule("DirectX9", "CreateRenderer", ToModuleSymbol(&CreateDirectX9Renderer));
}
int RegisterBmp() { return RegisterCodecModule<CreateBmpImageCodec>("BMPImageCodec"); }
int RegisterJpg() { return RegisterCodecModule<CreateJpgImageCodec>("JPGImageCodec"); }
int RegisterTga() { return RegisterCodecModule<CreateTgaImageCodec>("TGAImageCodec"); }
int RegisterCube() { return RegisterCodecModule<CreateCubeImageCodec>("CUBEImageCodec"); }
int RegisterStr() { return RegisterCodecModule<CreateStrSceneCodec>("STRSceneCodec"); }
int RegisterRar2() { return RegisterCodecModule<CreateRar2FileCodec>("RAR2FileCodec"); }

struct BuiltinModuleRegistration {
    BuiltinModuleRegistration() {
        AddPostInitFunction(RegisterDirectX9);
        AddPostInitFunction(RegisterBmp);
        AddPostInitFunction(RegisterJpg);
        AddPostInitFunction(RegisterTga);
        AddPostInitFunction(RegisterCube);
        AddPostInitFunction(RegisterStr);
        AddPostInitFunction(RegisterRar2);
    }
} gBuiltinModuleRegistration;

}  // namespace

int RegisterBuiltinModule(const char* name, const char* factoryName, ModuleSymbol factory) {
    Ref<BuiltinModule> module(new (std::nothrow) BuiltinModule(name));
    if (!module) return kFailed;
    if (!module->AddSymbol("Initialize", ToModuleSymbol(&DoNothing)) ||
        !module->AddSymbol("Shutdown", ToModuleSymbol(&DoNothing)) ||
        !module->AddSymbol(factoryName, factory))
        return kFailed;
    return RegisterModule(module.Get()) == kOk ? kOk : kFailed;
}

}  // namespace zav
