#pragma once

#include "engine/core/String.h"

namespace zav {

// Adds the disk folder `utf8Path` and everything below it to the virtual
// file tree, as a directory under the root named by the folder's path, so
// that its files are found like those of a mounted archive and open from
// the disk. 0; 3 when the folder does not exist; 1 when it cannot be read
// or attached; 2 when memory runs out.
int MountDiskFolder(const char* utf8Path);

}  // namespace zav
