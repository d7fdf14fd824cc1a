#include <dlfcn.h>
#include <errno.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/platform/BlobRegistry.h"
#include "engine/platform/Platform.h"
#include "engine/platform/Windows1251.h"

namespace zav::platform {

bool FindBlob(const char* type, int id, Blob* blob) {
    if (!type || !blob) return false;
    return FindRegisteredBlob(type, id, blob);
}

void* OpenLibrary(const char* utf8Path) { return utf8Path ? dlopen(utf8Path, RTLD_NOW | RTLD_LOCAL) : nullptr; }

void* FindLibrarySymbol(void* library, const char* name) {
    return library && name ? dlsym(library, name) : nullptr;
}

bool CloseLibrary(void* library) { return library && dlclose(library) == 0; }

std::FILE* OpenFile(const char* utf8Path, const char* mode) {
    return utf8Path && mode ? std::fopen(utf8Path, mode) : nullptr;
}

bool MakeDirectory(const char* utf8Path) {
    if (!utf8Path) return false;
    if (mkdir(utf8Path, 0777) == 0) return true;
    struct stat info;
    return errno == EEXIST && stat(utf8Path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool RemoveFile(const char* utf8Path) { return utf8Path && unlink(utf8Path) == 0; }

std::string GetUserDataFolder() {
    if (const char* config = getenv("XDG_CONFIG_HOME"); config && *config) return config;
    if (const char* home = getenv("HOME"); home && *home) return std::string(home) + "/.config";
    return std::string();
}

std::string CreateTempFile(const char* prefix) {
    const char* folder = getenv("TMPDIR");
    std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/" + (prefix ? prefix : "") + "XXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0) return std::string();
    close(fd);
    return pattern;
}

char PathSeparator() { return '/'; }

std::string Utf8ToCodePage(const char* utf8) { return Utf8ToWindows1251(utf8 ? utf8 : ""); }
std::string CodePageToUtf8(const char* text) { return Windows1251ToUtf8(text ? text : ""); }

uint64_t MonotonicMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

void SleepMilliseconds(uint32_t milliseconds) {
    timespec delay{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    nanosleep(&delay, nullptr);
}

std::string GetCommandLineText() {
    // /proc/self/cmdline holds the arguments separated by zeros.
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string line;
    size_t start = 0;
    while (start < raw.size()) {
        size_t end = raw.find('\0', start);
        if (end == std::string::npos) end = raw.size();
        std::string argument = raw.substr(start, end - start);
        if (!line.empty()) line += ' ';
        if (argument.find(' ') != std::string::npos)
            line += '"' + argument + '"';
        else
            line += argument;
        start = end + 1;
    }
    return line;
}

bool DispatchWindowMessages() { return false; }

}  // namespace zav::platform
