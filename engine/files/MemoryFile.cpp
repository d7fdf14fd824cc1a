#include "engine/files/MemoryFile.h"

#include <cstring>
#include <new>

#include "engine/core/Log.h"
#include "engine/core/Result.h"

namespace zav {

MemoryFile::MemoryFile(const String& name) : File(name) {}

MemoryFile::~MemoryFile() { ClearSource(); }

int MemoryFile::SetSource(char* bytes, int32_t size) { return AssignSource(bytes, size, true); }

int MemoryFile::SetBorrowedSource(const char* bytes, int32_t size) { return AssignSource(bytes, size, false); }

int MemoryFile::AssignSource(const char* bytes, int32_t size, bool owned) {
    if (size < 0 || (!bytes && size > 0)) {
        LogWarning("Неправильный размер содержимого файла [%s]: %d.", GetName().CStr(), size);
        return kFailed;
    }
    ClearSource();
    source_ = bytes;
    sourceSize_ = size;
    hasSource_ = true;
    ownsSource_ = owned;
    return kOk;
}

void MemoryFile::ClearSource() {
    if (ownsSource_) delete[] source_;
    source_ = nullptr;
    sourceSize_ = 0;
    hasSource_ = false;
    ownsSource_ = false;
}

int MemoryFile::Open(int mode) {
    if (IsOpen() && Close() != kOk) {
        LogWarning("Невозможно закрыть файл [%s].", GetName().CStr());
        return kFailed;
    }
    if (mode != kFileRead || !hasSource_) return kFailed;
    // At least one byte, so that an empty file still has a buffer to read 0 bytes from.
    char* data = new (std::nothrow) char[sourceSize_ > 0 ? static_cast<size_t>(sourceSize_) : 1];
    if (!data) {
        LogWarning("Недостаточно памяти для открытия файла [%s].", GetName().CStr());
        return kOutOfMemory;
    }
    if (sourceSize_ > 0) std::memcpy(data, source_, static_cast<size_t>(sourceSize_));
    MarkOpen(kFileRead, data, sourceSize_);
    return kOk;
}

int32_t MemoryFile::MeasureClosed() const {
    if (hasSource_) return sourceSize_;
    LogWarning("Файл [%s] не может быть открыть для чтения.", GetFullName().CStr());
    return 0;
}

}  // namespace zav
