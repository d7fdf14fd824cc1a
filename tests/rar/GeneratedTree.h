#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace zav::test {

// Files by UTF-8 path with '/' separators.
using FileTree = std::map<std::string, std::vector<unsigned char>>;

// A tree that exercises a packer: text, noise, long repeats, an image-like
// gradient, empty files, nested and non-ASCII names, and a 4 MiB file longer
// than the 1 MiB window. The same seed gives the same tree.
FileTree MakePackerTestTree(unsigned seed = 20240607);

// Writes the tree under `root` (UTF-8), creating folders; false on failure.
bool WriteFileTree(const FileTree& tree, const std::string& root);

}  // namespace zav::test
