#pragma once

#include <cstdint>
#include <cstdio>

#include "engine/core/Named.h"
#include "engine/core/Stream.h"
#include "engine/core/String.h"

namespace zav {

class Directory;

enum FileMode : int {
    kFileRead = 0,
    kFileWrite = 1,
    kFileAppend = 2,
};

// A file of the virtual tree, and a file on disk: a Stream whose buffer holds
// the whole content while the file is open. Opening for reading loads the
// content; closing after writing stores the buffer. The base class is the
// disk file, named by its full name (GetFullName, UTF-8 on disk once
// converted from the engine's code page); MemoryFile serves content from
// memory. A directory owns the files attached to it.
class File : public Stream, public Named {
public:
    explicit File(const String& name);
    ~File() override;

    // Open for reading: the content size; open for writing or appending: the
    // bytes written so far; closed: the size the file would have when opened
    // for reading (0 with a warning when it cannot be measured).
    int GetSize() const override;
    // Refused with 1 (the stream state stays) unless the file is open in a
    // mode that allows it.
    int Write(const void* source, int32_t count) override;
    int Read(void* destination, int32_t count) override;

    // Opens in a FileMode, closing first when open. Every open starts a fresh
    // stream: cursor 0, empty object map, good state. 0; 1 on failure (the
    // file stays closed); 2 when memory runs out.
    virtual int Open(int mode);
    // Stores what was written (write and append modes) and frees the buffer.
    // 1 when the stream had failed, the bytes could not all be written or the
    // file could not be closed; the file is closed in every case.
    virtual int Close();

    bool IsOpen() const { return open_; }
    int GetMode() const { return mode_; }
    Directory* GetDirectory() const { return directory_; }
    // The directory's path followed by the name; the name alone when the file
    // belongs to no directory.
    String GetFullName() const;
    // The text after the last "." of the name; empty without one.
    String GetExtension() const;

protected:
    // The size of a closed file, or 0 after a logged warning when it cannot
    // be told.
    virtual int32_t MeasureClosed() const;
    // Takes `data` (new[], `size` bytes) as the content and marks the file
    // open in `mode` with a fresh stream.
    void MarkOpen(int mode, char* data, int32_t size);
    // Marks the file closed and frees the buffer.
    void MarkClosed();

private:
    friend class Directory;
    int OpenForReading(std::FILE* handle, const String& fullName);

    int mode_ = kFileRead;
    bool open_ = false;
    std::FILE* handle_ = nullptr;  // held while open for writing or appending
    Directory* directory_ = nullptr;
};

}  // namespace zav
