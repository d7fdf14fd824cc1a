#pragma once

#include <cstdint>

#include "engine/core/RefCounted.h"
#include "engine/files/File.h"
#include "engine/files/Module.h"

namespace zav {

// A read-only file whose content comes from memory: an archive member, or an
// archive held in a resource. Every open copies the source into the stream's
// buffer, so the file can be opened again and again. A file without a source
// (an archive member that could not be extracted) fails to open.
class MemoryFile : public File {
public:
    explicit MemoryFile(const String& name);
    ~MemoryFile() override;

    // Mode 0 only: any other mode, or no source, returns 1 without a message
    // and leaves the file closed. 2 when memory runs out.
    int Open(int mode) override;

    // Gives the file its content and the ownership of it: `bytes` come from
    // new[] and are freed with the file (or by the next SetSource). A size of
    // 0 makes an empty file (`bytes` may then be null). A negative size, or
    // null bytes with a positive size, is refused with 1: the file keeps its
    // old source and the bytes stay the caller's.
    int SetSource(char* bytes, int32_t size);
    // Content that the file reads but never frees, such as an executable's
    // resource; it must stay valid for as long as the file can be opened.
    int SetBorrowedSource(const char* bytes, int32_t size);
    // Drops the source (freed when owned); the file no longer opens.
    void ClearSource();
    bool HasSource() const { return hasSource_; }
    int32_t GetSourceSize() const { return sourceSize_; }

    // The module whose codec made the file; the file keeps it alive.
    void SetModule(Module* module) { module_ = module; }
    Module* GetModule() const { return module_.Get(); }

protected:
    int32_t MeasureClosed() const override;

private:
    int AssignSource(const char* bytes, int32_t size, bool owned);

    const char* source_ = nullptr;
    int32_t sourceSize_ = 0;
    bool hasSource_ = false;
    bool ownsSource_ = false;
    Ref<Module> module_;
};

}  // namespace zav
