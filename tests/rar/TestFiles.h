#pragma once

#include <string>
#include <vector>

namespace zav::test {

// The project's root folder (ZAV_SOURCE_DIR), or "." when it is not set.
std::string SourceDir();
// The folder of the RAR 2.0 reference archives.
std::string Rar2TestDataDir();
// Whole contents of a file; false when it cannot be read.
bool ReadWholeFile(const std::string& utf8Path, std::vector<unsigned char>* bytes);
bool WriteWholeFile(const std::string& utf8Path, const std::vector<unsigned char>& bytes);

}  // namespace zav::test
