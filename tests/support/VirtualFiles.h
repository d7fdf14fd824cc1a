#pragma once

// Files put straight into the engine's virtual file tree, and the picture
// files tests put there.

#include <algorithm>
#include <cstdint>
#include <string>

#include "engine/files/Directory.h"
#include "engine/files/FileManager.h"
#include "engine/files/MemoryFile.h"

namespace zav::test {

// Puts a file with `bytes` into the virtual file tree as a mounted archive
// holds it: in a directory under the root, which owns both. The engine must
// be running.
inline bool AttachDataFile(const char* archive, const char* name, const std::string& bytes) {
    Directory* directory = GetRoot()->FindSubdirectory(archive);
    if (!directory) {
        directory = new Directory(archive);
        if (GetRoot()->AttachDirectory(directory) != 0) return false;
    }
    auto* file = new MemoryFile(name);
    char* copy = new char[bytes.size() > 0 ? bytes.size() : 1];
    std::copy(bytes.begin(), bytes.end(), copy);
    return file->SetSource(copy, static_cast<int32_t>(bytes.size())) == 0 && directory->AttachFile(file) == 0;
}

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

// An uncompressed 32-bit TGA file of width x height pixels of one colour.
inline std::string SolidTga(int width, int height, Rgba color) {
    const char header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<char>(width & 0xFF),
                             static_cast<char>(width >> 8), static_cast<char>(height & 0xFF),
                             static_cast<char>(height >> 8), 32, 8};
    std::string bytes(header, sizeof header);
    for (int i = 0; i < width * height; ++i) {
        const char texel[4] = {static_cast<char>(color.b), static_cast<char>(color.g), static_cast<char>(color.r),
                               static_cast<char>(color.a)};
        bytes.append(texel, 4);
    }
    return bytes;
}

}  // namespace zav::test
