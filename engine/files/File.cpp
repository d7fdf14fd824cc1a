#include "engine/files/File.h"

#include <climits>
#include <new>
#include <string>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/Directory.h"
#include "engine/platform/Platform.h"

namespace zav {

namespace {

constexpr int32_t kFileStreamIncrement = 1024;

std::FILE* OpenDiskFile(const String& fullName, const char* mode) {
    std::string path = platform::CodePageToUtf8(fullName.CStr());
    return platform::OpenFile(path.c_str(), mode);
}

// The size of an open C runtime file, or -1. The cursor ends at the start.
// Measured with 64-bit offsets, so that no size wraps into a small one.
int64_t MeasureHandle(std::FILE* handle) {
#ifdef _WIN32
    if (_fseeki64(handle, 0, SEEK_END) != 0) return -1;
    int64_t size = _ftelli64(handle);
    if (_fseeki64(handle, 0, SEEK_SET) != 0) return -1;
#else
    if (fseeko(handle, 0, SEEK_END) != 0) return -1;
    int64_t size = ftello(handle);
    if (fseeko(handle, 0, SEEK_SET) != 0) return -1;
#endif
    return size;
}

}  // namespace

File::File(const String& name) : Stream(0, kFileStreamIncrement), Named(name) {}

File::~File() {
    LogInfo("Удаляется файл [%s].", GetName().CStr());
    if (open_) File::Close();
    if (directory_ && directory_->DetachFile(this) != kOk)
        LogWarning("Невозможно отсоединить файл [%s] от родительской директории.", GetName().CStr());
}

String File::GetFullName() const { return directory_ ? directory_->GetPath() + GetName() : GetName(); }

String File::GetExtension() const {
    const String& name = GetName();
    for (int32_t i = name.Length() - 1; i >= 0; --i)
        if (name[i] == '.') return String(name.CStr() + i + 1, name.Length() - i - 1);
    return String();
}

int File::GetSize() const {
    if (open_) return mode_ == kFileRead ? GetCapacity() : GetPosition();
    return MeasureClosed();
}

int32_t File::MeasureClosed() const {
    const String fullName = GetFullName();
    std::FILE* handle = OpenDiskFile(fullName, "rb");
    int64_t size = handle ? MeasureHandle(handle) : -1;
    if (handle && std::fclose(handle) != 0) {
        LogWarning("Файл [%s] не может быть закрыт.", fullName.CStr());
        return 0;
    }
    if (size < 0 || size > INT32_MAX) {
        LogWarning("Файл [%s] не может быть открыть для чтения.", fullName.CStr());
        return 0;
    }
    return static_cast<int32_t>(size);
}

int File::Write(const void* source, int32_t count) {
    if (!open_) {
        LogWarning("Запись в закрытый файл [%s].", GetFullName().CStr());
        return kFailed;
    }
    if (mode_ == kFileRead) {
        LogWarning("Запись в файл [%s], открытый для чтения.", GetFullName().CStr());
        return kFailed;
    }
    return Stream::Write(source, count);
}

int File::Read(void* destination, int32_t count) {
    if (!open_) {
        LogWarning("Чтение из закрытого файла [%s].", GetFullName().CStr());
        return kFailed;
    }
    if (mode_ != kFileRead) {
        LogWarning("Чтение из файла [%s], открытого для записи.", GetFullName().CStr());
        return kFailed;
    }
    return Stream::Read(destination, count);
}

int File::Open(int mode) {
    if (open_ && Close() != kOk) LogWarning("Невозможно закрыть файл [%s].", GetName().CStr());
    if (mode != kFileWrite && mode != kFileAppend) mode = kFileRead;
    const String fullName = GetFullName();
    std::FILE* handle = OpenDiskFile(fullName, mode == kFileWrite ? "wb" : mode == kFileAppend ? "ab" : "rb");
    if (!handle) {
        LogWarning("Невозможно открыть файл [%s].", fullName.CStr());
        return kFailed;
    }
    if (mode == kFileRead) return OpenForReading(handle, fullName);
    handle_ = handle;
    MarkOpen(mode, nullptr, 0);
    return kOk;
}

// Reads the whole file into a new buffer. A file whose size does not fit in
// 32 bits, or that yields a different number of bytes than measured, is
// refused rather than handed out in part.
int File::OpenForReading(std::FILE* handle, const String& fullName) {
    int64_t size = MeasureHandle(handle);
    if (size < 0 || size > INT32_MAX) {
        std::fclose(handle);
        LogWarning("Размер файла [%s] не может быть определён или превышает 2 ГБ.", fullName.CStr());
        return kFailed;
    }
    // At least one byte, so that an empty file still has a buffer to read 0 bytes from.
    char* data = new (std::nothrow) char[size > 0 ? static_cast<size_t>(size) : 1];
    if (!data) {
        std::fclose(handle);
        LogWarning("Недостаточно памяти для открытия файла [%s].", fullName.CStr());
        return kOutOfMemory;
    }
    size_t read = std::fread(data, 1, static_cast<size_t>(size), handle);
    // A byte past the measured end means the file grew or the size was cut.
    bool longer = std::fgetc(handle) != EOF;
    std::fclose(handle);
    if (read != static_cast<size_t>(size) || longer) {
        delete[] data;
        LogWarning("Невозможно прочитать файл [%s] целиком.", fullName.CStr());
        return kFailed;
    }
    MarkOpen(kFileRead, data, static_cast<int32_t>(size));
    return kOk;
}

int File::Close() {
    if (!open_) return kOk;
    int result = kOk;
    if (handle_) {
        const String fullName = GetFullName();
        if (GetState() != kOk) {
            LogWarning("Данные файла [%s] неполны: ошибка потока [%d].", fullName.CStr(), GetState());
            result = kFailed;
        }
        const size_t count = static_cast<size_t>(GetPosition());
        if (count > 0 && std::fwrite(GetData(), 1, count, handle_) != count) {
            LogWarning("В файл [%s] записаны не все данные.", fullName.CStr());
            result = kFailed;
        }
        if (std::fclose(handle_) != 0) {
            LogWarning("Невозможно закрыть файл [%s].", fullName.CStr());
            result = kFailed;
        }
        handle_ = nullptr;
    }
    MarkClosed();
    return result;
}

void File::MarkOpen(int mode, char* data, int32_t size) {
    ReplaceBuffer(data, size);
    Restart();
    mode_ = mode;
    open_ = true;
}

void File::MarkClosed() {
    open_ = false;
    ReplaceBuffer(nullptr, 0);
    Rewind();
}

}  // namespace zav
