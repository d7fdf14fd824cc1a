#pragma once

#include "engine/files/Codec.h"

namespace zav {

// Archives in the RAR format with version 2.0 compression ("rar2"). Mounting
// reads the whole archive in one pass and builds a tree of MemoryFiles; an
// entry that cannot be extracted (encrypted, another compression version,
// damaged) becomes a file without content, which fails to open.
class RAR2FileCodec : public FileCodec {
public:
    RAR2FileCodec();

    // 0; 1 when the file cannot be read or is not an archive; 2 when memory
    // runs out; 3 for a null argument. The password is not used: encrypted
    // entries are not extracted.
    int LoadDirectory(File* archive, Directory** directory, const String& password) override;
    // Writing archives is not supported: 1 (3 for a null argument), and the
    // file is left as it was.
    int SaveDirectory(File* archive, Directory* directory) override;
};

}  // namespace zav
