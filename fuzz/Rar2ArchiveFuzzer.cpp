// Mounts arbitrary bytes as a RAR 2.0 archive: lists and extracts every
// entry, then reads every extracted byte.
#include <cstddef>
#include <cstdint>

#include "engine/files/rar/Crc32.h"
#include "engine/files/rar/Rar2Archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zav::rar2::Archive archive;
    if (zav::rar2::ReadArchive(data, size, &archive, "fuzz.rar2") != 0) return 0;
    uint32_t crc = 0;
    for (const zav::rar2::Entry& entry : archive.entries)
        if (entry.HasContent()) crc = zav::rar2::Crc32(entry.content.get(), entry.ContentSize(), crc);
    static volatile uint32_t sink;
    sink = crc;
    return 0;
}
