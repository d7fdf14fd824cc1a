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

}  // namespace zav
