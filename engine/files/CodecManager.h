#pragma once

#include "engine/core/String.h"
#include "engine/files/Codec.h"

namespace zav {

class File;

int InitializeCodecManager();
int ShutdownCodecManager();

// 0 registered (the registry takes a reference); 1 the name is taken or the
// registry refused it; 3 null codec.
int RegisterCodec(Codec* codec);
// Returns the registered codec of that name, or creates it through the
// "CreateCodec" symbol of the registered module of that name and registers
// it. `codec` may be null. 0; 1 creation or registration failed; 3 no such
// module or symbol. Modules are never loaded from here.
int LoadCodec(const String& name, Codec** codec);

// 0 when the file's extension is one of the codec's, 1 when not, 3 when
// either is null.
int CheckFile(Codec* codec, File* file);
// The first registered codec that takes the file (registry order), of any
// kind; null if none.
Codec* FindCodecForFile(File* file);

// The codec the file's extension selects when it is of the kind T stands for
// (ImageCodec, SceneCodec or FileCodec); null when there is none or it is of
// another kind.
template <class T>
T* FindCodecForFile(File* file) {
    Codec* codec = FindCodecForFile(file);
    return codec && codec->GetKind() == T::kKind ? static_cast<T*>(codec) : nullptr;
}

// Signature of a module's "CreateCodec" symbol: stores a new codec (count 0)
// and returns 0, or 2 when memory runs out.
using CreateCodecFunction = int (*)(Codec** codec);

}  // namespace zav
