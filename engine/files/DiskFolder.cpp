#include "engine/files/DiskFolder.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <system_error>
#include <vector>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/Directory.h"
#include "engine/files/File.h"
#include "engine/files/FileManager.h"
#include "engine/platform/Platform.h"

namespace zav {

namespace {

namespace fs = std::filesystem;

String EngineName(const fs::path& path) {
    // Forward slashes join the parts on every platform; the engine's names
    // are in its code page.
    return String(platform::Utf8ToCodePage(path.generic_u8string().c_str()).c_str());
}

// Attaches the entries of `folder` to `directory`, folders first in name order.
int AddEntries(const fs::path& folder, Directory& directory, int depth) {
    if (depth > 64) return kOk;  // links that loop back go no deeper
    std::error_code error;
    std::vector<fs::path> folders, files;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code kindError;
        if (it->is_directory(kindError))
            folders.push_back(it->path());
        else if (it->is_regular_file(kindError))
            files.push_back(it->path());
    }
    if (error) return kFailed;
    std::sort(folders.begin(), folders.end());
    std::sort(files.begin(), files.end());
    for (const fs::path& path : folders) {
        auto* child = new (std::nothrow) Directory(EngineName(path.filename()), &directory);
        if (!child) return kOutOfMemory;
        if (child->GetParent() != &directory) {
            delete child;
            return kFailed;
        }
        if (int result = AddEntries(path, *child, depth + 1); result != kOk) return result;
    }
    for (const fs::path& path : files) {
        auto* file = new (std::nothrow) File(EngineName(path.filename()));
        if (!file) return kOutOfMemory;
        if (directory.AttachFile(file) != kOk) {
            delete file;
            return kFailed;
        }
    }
    return kOk;
}

}  // namespace

int MountDiskFolder(const char* utf8Path) {
    std::error_code error;
    const fs::path folder = fs::absolute(fs::u8path(utf8Path ? utf8Path : ""), error);
    Directory* root = GetRoot();
    if (error || !root || !fs::is_directory(folder, error)) {
        LogError("Невозможно найти папку [%s].", platform::Utf8ToCodePage(utf8Path ? utf8Path : "").c_str());
        return kNotFound;
    }
    // The folder's path names the directory, so its files' full names are
    // their paths on disk.
    auto* directory = new (std::nothrow) Directory(EngineName(folder.lexically_normal()));
    if (!directory) return kOutOfMemory;
    int result = AddEntries(folder, *directory, 0);
    if (result == kOk) result = root->AttachDirectory(directory) == kOk ? kOk : kFailed;
    if (result != kOk) {
        delete directory;
        LogError("Невозможно подсоединить папку [%s].", platform::Utf8ToCodePage(utf8Path).c_str());
    }
    return result;
}

}  // namespace zav
