#pragma once

#include <cstdint>

#include "engine/core/String.h"

namespace zav {

class Directory;
class File;

// The engine's virtual file tree: one root directory with an empty name,
// under which archives are mounted as directories. It exists between the
// file manager's start and stop in the engine's lists; files found through it
// must not be used afterwards.
int InitializeFileManager();
int ShutdownFileManager();

// The root, or null while the file manager is stopped.
Directory* GetRoot();

// Asks each directory under the root, in order, for the path; the first hit,
// or null. Files attached to the root itself are not searched.
File* FindFile(const String& path);

// Builds a directory from the archive `file` with the archive codec its
// extension selects and attaches it to the root. The file is only read.
// 0; 3 for a null file or no archive codec; the codec's code when it fails;
// 1 when the directory cannot be attached.
int MountArchive(File* file, const String& password);

// Mounts the archive held in the executable's "MEDIADATA" resource `id`
// under `name`; the archive codec is chosen by the name's extension.
int MountResourceArchive(int id, const String& name, const String& password);

// The bytes and size of the executable's "MEDIADATA" resource `id`. The bytes
// stay valid for the life of the process and are never copied or freed.
// 0; 1 when the resource is absent or unusable; 3 for a null out-parameter.
int LoadResource(int id, const char** data, int32_t* size);

}  // namespace zav
