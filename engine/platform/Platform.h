#pragma once

// The few operating-system services the portable engine needs. Paths are
// UTF-8 throughout; the Windows implementation converts them to UTF-16.
// Nothing else under engine/ talks to the operating system directly.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zav::platform {

// Embedded byte blobs by type and integer ID: the executable's resources on
// Windows. Blobs registered here take precedence on every platform, so tests
// and host tools can provide their own.
struct Blob {
    const void* data = nullptr;
    size_t size = 0;
};
bool FindBlob(const char* type, int id, Blob* blob);
void RegisterBlob(const char* type, int id, const void* data, size_t size);
void UnregisterBlob(const char* type, int id);

// Dynamic libraries.
void* OpenLibrary(const char* utf8Path);
void* FindLibrarySymbol(void* library, const char* name);
bool CloseLibrary(void* library);

// Files and folders.
std::FILE* OpenFile(const char* utf8Path, const char* mode);
bool MakeDirectory(const char* utf8Path);  // an existing directory is success
bool RemoveFile(const char* utf8Path);
// The per-user roaming application-data folder, or empty when there is none.
std::string GetUserDataFolder();
// Creates an empty, uniquely named file in the temporary folder; its name
// starts with `prefix`. Returns the path, or empty on failure.
std::string CreateTempFile(const char* prefix);
// Path separator of the platform's file names.
char PathSeparator();

// Text conversion between UTF-8 and the engine's code page (Windows-1251).
std::string Utf8ToCodePage(const char* utf8);
std::string CodePageToUtf8(const char* text);

// Monotonic clock in milliseconds; never wraps.
uint64_t MonotonicMilliseconds();
// Sleeps the calling thread.
void SleepMilliseconds(uint32_t milliseconds);

// The process's full command line as UTF-8, program name included.
std::string GetCommandLineText();

// Removes and dispatches every window message waiting for the calling
// thread, without waiting. Returns true when the quit message was among them
// (it is consumed, not dispatched). Without a window system: false.
bool DispatchWindowMessages();

}  // namespace zav::platform
