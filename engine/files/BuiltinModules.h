#pragma once

namespace zav {

class Codec;
class Renderer;

// Creation functions of the built-in modules' products. Each subsystem
// defines its own; the module table in BuiltinModules.cpp names them.
int CreateDirectX9Renderer(Renderer** renderer);
int CreateBmpImageCodec(Codec** codec);
int CreateJpgImageCodec(Codec** codec);
int CreateTgaImageCodec(Codec** codec);
int CreateCubeImageCodec(Codec** codec);
int CreateStrSceneCodec(Codec** codec);
int CreateRar2FileCodec(Codec** codec);

// Creates a built-in module with the symbols "Initialize", "Shutdown" (both
// doing nothing) and `factoryName`, and registers it. 0 or 1.
int RegisterBuiltinModule(const char* name, const char* factoryName, void (*factory)());

}  // namespace zav
