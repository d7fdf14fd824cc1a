#pragma once

#include "engine/files/Codec.h"

namespace zav {

// The engine's scene file, "STR": the engine version (three 32-bit integers)
// and the root object reference with the whole graph behind it. Files older
// than the engine are refused; newer ones are read.
class STRSceneCodec : public SceneCodec {
public:
    STRSceneCodec();

    int LoadScene(File* file, Object** scene) override;
    int SaveScene(File* file, Object* scene) override;
};

}  // namespace zav
