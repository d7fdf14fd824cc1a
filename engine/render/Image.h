#pragma once

#include <cstdint>

#include "engine/core/Object.h"
#include "engine/core/String.h"
#include "engine/files/ByteBlock.h"
#include "engine/render/PixelFormat.h"

namespace zav {

class File;
class Stream;

// A picture in main memory: the decoded content of a picture file of the
// virtual file tree, or a block of pixels of a given size and format. Rows
// follow each other without gaps and row 0 is the bottom row of the picture.
// The pixel block is either null or exactly GetDataSize bytes.
//
// A record of an image that came from a file holds the file name only; the
// pixels are decoded again when it is loaded. Other images store their size
// and format, never their pixels.
class Image : public Object {
    ZAV_OBJECT_CLASS(Image, Object)

    // The largest picture a record may describe: sides (and slices) up to
    // the largest texture a device takes, and a pixel block the engine
    // allocates without a second thought.
    static constexpr int32_t kMaxRecordSide = 16384;
    static constexpr int64_t kMaxRecordBytes = int64_t{64} << 20;

    // No file, all numbers 0, no pixels.
    explicit Image(const String& name = String());
    // A zero-filled block of GetDataSize bytes; when it cannot be had (memory,
    // or a size beyond 32 bits) the failure is logged and the image has no
    // pixels.
    Image(const String& name, int32_t format, int32_t width, int32_t height);
    // Decodes `file` (LoadFromFile). The image remembers the file's path and
    // is named after it when `name` is empty.
    Image(File* file, const String& name);

    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    // width × height × bytes per pixel (× depth for a VolumeImage); 0 when a
    // dimension is not positive, the format has no byte size or the size does
    // not fit in 32 bits.
    int GetDataSize() const;

    // Decodes the file with the image codec that its extension selects.
    // 0; 3 for no file or no codec (WARNING); 1 when decoding fails (ERROR).
    // On failure the image keeps what it had.
    int LoadFromFile(File* file);

    // Takes `pixels` as the new picture; the block must hold exactly
    // width × height × depth bytes per pixel. A plain image takes depth 1
    // only. 0, or 1 (nothing changes) when the block does not fit.
    virtual int SetPixels(int32_t width, int32_t height, int32_t depth, int32_t format, ByteBlock pixels);

    // A picture that only says its size (a depth target's): no pixels.
    void SetSizeWithoutPixels(int32_t width, int32_t height);

    const String& GetFileName() const { return fileName_; }
    // Names the picture file the record refers to, for tools that paint the
    // pixels and write that file themselves; the pixels stay as they are.
    void SetFileName(const String& path) { fileName_ = path; }
    int32_t GetWidth() const { return width_; }
    int32_t GetHeight() const { return height_; }
    int32_t GetFormat() const { return format_; }
    // Null when the image has no pixels.
    uint8_t* GetPixels() { return pixels_.Data(); }
    const uint8_t* GetPixels() const { return pixels_.Data(); }

protected:
    // Slices of pixels: 1, or a VolumeImage's depth.
    virtual int32_t GetSliceCount() const { return 1; }
    // A VolumeImage's depth, written and read right after the height.
    virtual int SaveDepth(Stream& stream) { return 0; }
    virtual int LoadDepth(Stream& stream, int32_t& depth) {
        depth = 1;
        return 0;
    }
    virtual void SetDepth(int32_t depth) {}
    // Logs the successful load of a record.
    virtual void ReportLoaded() const;

    // Stores the picture when `pixels` holds exactly its bytes; 0 or 1.
    int AdoptPixels(int32_t width, int32_t height, int32_t depth, int32_t format, ByteBlock& pixels);
    // Sets the size and format and replaces the pixels with a zero-filled
    // block of GetDataSize bytes (none when a dimension is 0). 0; 2 after
    // logging when the block cannot be had (the image then has no pixels).
    int Resize(int32_t width, int32_t height, int32_t format);

private:
    int LoadFromNamedFile();

    String fileName_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t format_ = RGB8;
    ByteBlock pixels_;
};

}  // namespace zav
