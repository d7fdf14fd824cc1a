// Mounts arbitrary bytes through the file manager as "fuzz.rar2", the way
// the screensaver mounts its media: the archive reader and the tree the codec
// builds from the entry names. Every file of a mounted tree is opened and
// read, its full name is looked up as a path, and the tree is unmounted.
#include <cstdint>
#include <cstdlib>

#include "engine/core/Engine.h"
#include "engine/files/CodecManager.h"
#include "engine/files/Directory.h"
#include "engine/files/File.h"
#include "engine/files/FileManager.h"
#include "engine/files/MemoryFile.h"
#include "engine/files/rar/Crc32.h"

using namespace zav;

namespace {

uint32_t ReadTree(Directory* directory, uint32_t crc) {
    for (int32_t i = 0; i < directory->GetFileCount(); ++i) {
        File* file = directory->GetFile(i);
        FindFile(file->GetFullName());  // names from the archive as paths
        if (file->Open(kFileRead) != 0) continue;
        crc = rar2::Crc32(reinterpret_cast<const uint8_t*>(file->GetData()), static_cast<size_t>(file->GetSize()),
                          crc);
        file->Close();
    }
    for (int32_t i = 0; i < directory->GetDirectoryCount(); ++i) {
        Directory* sub = directory->GetSubdirectory(i);
        if (sub->GetParent() != directory) std::abort();
        crc = ReadTree(sub, crc);
    }
    return crc;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (EngineInit() != 0 || LoadCodec("RAR2FileCodec", nullptr) != 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 24)) return 0;
    MemoryFile archive("fuzz.rar2");
    archive.SetBorrowedSource(reinterpret_cast<const char*>(data), static_cast<int32_t>(size));
    int mounted = MountArchive(&archive, String());
    Directory* root = GetRoot();
    if (mounted != 0) {
        if (root->GetDirectoryCount() != 0) std::abort();  // a failed mount leaves nothing behind
        return 0;
    }
    if (root->GetDirectoryCount() != 1) std::abort();
    Directory* tree = root->GetSubdirectory(0);
    static volatile uint32_t sink;
    sink = ReadTree(tree, 0);
    delete tree;  // detaches itself from the root
    return 0;
}
