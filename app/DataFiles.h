#pragma once

#include <string>

namespace zav {

// Reads a file of the virtual file tree (the archives mounted at start) into
// `bytes`. 0, or 3 after logging that the file is not there.
int ReadDataFile(const char* name, std::string* bytes);

}  // namespace zav
