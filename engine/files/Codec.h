#pragma once

#include "engine/core/Array.h"
#include "engine/core/Named.h"
#include "engine/core/RefCounted.h"
#include "engine/core/String.h"
#include "engine/files/Module.h"

namespace zav {

class Directory;
class File;
class Image;
class Object;

// What a codec reads and writes; GetKind tells which of the three codec
// classes below an object belongs to.
enum CodecKind : int {
    kImageCodecKind = 0,
    kSceneCodecKind = 1,
    kFileCodecKind = 2,
    kAbstractCodecKind = 3,
};

// A named file format, created by its module's "CreateCodec" function and
// registered by the codec manager under its name (the module's name). It
// takes the files whose extension is in its list (exact, case-sensitive
// comparison). Concrete codecs derive from ImageCodec, SceneCodec or
// FileCodec, never from Codec directly.
class Codec : public RefCounted, public Named {
public:
    ~Codec() override = default;

    virtual int GetKind() const { return kAbstractCodecKind; }

    // Appends an extension (without the "."); 0, or 2 when memory runs out.
    int AddExtension(const String& extension) { return extensions_.Append(extension); }
    const Array<String>& GetExtensions() const { return extensions_; }
    bool HasExtension(const String& extension) const { return extensions_.IndexOf(extension) >= 0; }

    // The module that created the codec; the codec keeps it alive.
    Module* GetModule() const { return module_.Get(); }
    void SetModule(Module* module) { module_ = module; }

private:
    friend class ImageCodec;
    friend class SceneCodec;
    friend class FileCodec;
    explicit Codec(const String& name) : Named(name) {}

    Ref<Module> module_;
    Array<String> extensions_;
};

// Kind 0: pictures. Both operations open the file themselves (decode in mode
// 0, encode in mode 1) and close it before returning.
class ImageCodec : public Codec {
public:
    static constexpr int kKind = kImageCodecKind;
    explicit ImageCodec(const String& name) : Codec(name) {}
    int GetKind() const final { return kKind; }

    // Fills `image` (size, format, pixels) from the file. 0; 1 failure;
    // 2 out of memory; 3 null argument.
    virtual int DecodeImage(File* file, Image* image) = 0;
    // Writes `image` to the file. 0; 1 failure; 2 out of memory; 3 a pixel
    // format the codec does not write.
    virtual int EncodeImage(File* file, Image* image) = 0;
};

// Kind 1: scene files, a version and an object graph.
class SceneCodec : public Codec {
public:
    static constexpr int kKind = kSceneCodecKind;
    explicit SceneCodec(const String& name) : Codec(name) {}
    int GetKind() const final { return kKind; }

    // Reads the root object; it is handed out with a count of 0, so the
    // caller takes the first reference. 0, or non-zero with `*scene` untouched.
    virtual int LoadScene(File* file, Object** scene) = 0;
    virtual int SaveScene(File* file, Object* scene) = 0;
};

// Kind 2: archives. LoadDirectory builds a new Directory (named after the
// archive file) of MemoryFiles and hands it to the caller, who owns it.
class FileCodec : public Codec {
public:
    static constexpr int kKind = kFileCodecKind;
    explicit FileCodec(const String& name) : Codec(name) {}
    int GetKind() const final { return kKind; }

    // 0, or non-zero with `*directory` left null (nothing to free).
    virtual int LoadDirectory(File* archive, Directory** directory, const String& password) = 0;
    virtual int SaveDirectory(File* archive, Directory* directory) = 0;
};

}  // namespace zav
