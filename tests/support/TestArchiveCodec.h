#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/files/Codec.h"

namespace zav::test {

// A tiny archive format for tests, extension "tpak": entries one after the
// other, each a path, "\n", the content size in decimal, "\n" and the
// content. Paths use "/" between directories; a directory is created the
// first time a path names it. A complete example of a kind-2 codec.
class TestArchiveCodec : public FileCodec {
public:
    TestArchiveCodec() : FileCodec("TestArchiveCodec") { AddExtension("tpak"); }

    int LoadDirectory(File* archive, Directory** directory, const String& password) override;
    // Writing is not supported: 1.
    int SaveDirectory(File* archive, Directory* directory) override;

    // The bytes of an archive holding these (path, content) entries.
    static std::string Pack(const std::vector<std::pair<std::string, std::string>>& entries);
};

// The whole content of a file of the tree, or "<cannot open>".
std::string ReadContent(File* file);

}  // namespace zav::test
