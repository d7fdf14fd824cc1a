#pragma once

#include <string>

namespace zav {

// Reads a file of the virtual file tree (the archives mounted at start) into
// `bytes`. 0; 3 after logging that the file is not there; the code of the
// failed open (1 or 2) after logging it.
int ReadDataFile(const char* name, std::string* bytes);

}  // namespace zav
