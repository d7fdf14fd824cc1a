#pragma once

#include "engine/core/Array.h"
#include "engine/core/Named.h"
#include "engine/core/String.h"

namespace zav {

class File;

// A directory of the virtual file tree. It owns its subdirectories and files
// outright: destroying it destroys them. Entries are kept ordered by the
// first byte of their names, larger first (bytes as signed values, so
// 0x80-0xFF follow every ASCII byte), empty names last, and entries with
// equal first bytes in the order they were attached.
//
// Paths separate their parts with "\" or "/"; "." is the directory itself,
// ".." its parent, and a part equal to the directory's own name resolves to
// the directory (so a file's full name, which begins with its archive's
// name, finds the file again from the archive's directory).
class Directory : public Named {
public:
    // With a parent, the new directory attaches itself to it (a failure is
    // logged and leaves it unattached).
    explicit Directory(const String& name, Directory* parent = nullptr);
    ~Directory() override;
    Directory(const Directory&) = delete;
    Directory& operator=(const Directory&) = delete;

    // 0; 3 for null, for an entry attached here already, for a directory or
    // file that belongs to another directory, and for a directory that
    // contains this one; 2 when memory runs out. Failures change nothing.
    int AttachDirectory(Directory* directory);
    int AttachFile(File* file);
    // Hands the entry back to the caller, who now owns it. 0, or 3 when it
    // is null or not attached here.
    int DetachDirectory(Directory* directory);
    int DetachFile(File* file);

    // The directory the path names, or null.
    Directory* ResolveDirectory(const String& path);
    // The file the path names, or null. A bare name (no separator) is looked
    // for here, then through the subdirectories in order, depth first.
    File* FindFile(const String& path);
    // The parents' names and this one's, each followed by "/"; empty for a
    // directory with an empty name (the file manager's root).
    String GetPath() const;

    // The first subdirectory with exactly this name (no path parsing), or null.
    Directory* FindSubdirectory(const String& name) const;

    Directory* GetParent() const { return parent_; }
    int32_t GetDirectoryCount() const { return subdirectories_.Count(); }
    Directory* GetSubdirectory(int32_t index) const { return subdirectories_[index]; }
    int32_t GetFileCount() const { return files_.Count(); }
    File* GetFile(int32_t index) const { return files_[index]; }

private:
    File* FindOwnFile(const String& name) const;
    File* FindFileInSubtree(const String& name);
    bool Contains(const Directory* directory) const;
    void DestroyContents();

    Directory* parent_ = nullptr;
    Array<Directory*> subdirectories_;
    Array<File*> files_;
};

}  // namespace zav
