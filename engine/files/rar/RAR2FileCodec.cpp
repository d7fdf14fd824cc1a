#include "engine/files/rar/RAR2FileCodec.h"

#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/BuiltinModules.h"
#include "engine/files/Directory.h"
#include "engine/files/File.h"
#include "engine/files/MemoryFile.h"
#include "engine/files/rar/Rar2Archive.h"

namespace zav {

namespace {

String ToString(const std::string& text, size_t from, size_t to) {
    return String(text.data() + from, static_cast<int32_t>(to - from));
}

// A name that a directory of the tree can hold and a path can reach.
bool IsUsableName(const String& name) { return !name.IsEmpty() && name != "." && name != ".."; }

// Adds the archive's entries, in archive order, under `top`. An entry goes
// into the directory that the part of its name before the last backslash
// names; that directory must have come earlier in the archive. 0, or 2 when
// memory runs out.
int AddEntries(rar2::Archive& contents, Directory* top, Module* module) {
    const char* archiveName = top->GetName().CStr();
    for (rar2::Entry& entry : contents.entries) {
        const std::string& fullName = entry.name;
        size_t split = fullName.rfind('\\');
        String name = split == std::string::npos ? ToString(fullName, 0, fullName.size())
                                                 : ToString(fullName, split + 1, fullName.size());
        if (!IsUsableName(name)) {
            LogWarning("Элемент [%s] архива [%s] пропущен: недопустимое имя.", fullName.c_str(), archiveName);
            continue;
        }
        Directory* parent = top;
        if (split != std::string::npos) {
            String parentPath = ToString(fullName, 0, split);
            parent = top->ResolveDirectory(parentPath);
            if (!parent) {
                LogWarning("Элемент [%s] архива [%s] пропущен: не найдена директория [%s].", fullName.c_str(),
                           archiveName, parentPath.CStr());
                continue;
            }
        }

        if (entry.IsDirectory()) {
            if (parent->FindSubdirectory(name)) continue;  // listed twice
            Directory* directory = new (std::nothrow) Directory(name);
            if (!directory) return kOutOfMemory;
            if (parent->AttachDirectory(directory) != kOk) {
                delete directory;
                return kOutOfMemory;  // the only way a new directory fails to attach
            }
            continue;
        }

        MemoryFile* file = new (std::nothrow) MemoryFile(name);
        if (!file) return kOutOfMemory;
        if (entry.HasContent()) {
            int32_t size = static_cast<int32_t>(entry.ContentSize());  // the reader bounds it to 31 bits
            char* bytes = entry.ReleaseContent();
            if (file->SetSource(bytes, size) != kOk) delete[] bytes;
        }
        // The file's content came from this codec's module, which must outlive it.
        file->SetModule(module);
        if (parent->AttachFile(file) != kOk) {
            delete file;
            return kOutOfMemory;
        }
    }
    return kOk;
}

}  // namespace

RAR2FileCodec::RAR2FileCodec() : FileCodec("RAR2FileCodec") {
    AddExtension("rar2");
    AddExtension("RAR2");
    AddExtension("Rar2");
}

int RAR2FileCodec::LoadDirectory(File* archive, Directory** directory, const String& password) {
    if (!archive || !directory) return kNotFound;
    *directory = nullptr;
    if (archive->Open(kFileRead) != kOk) return kFailed;

    // The whole archive is read in one pass; its bytes are not needed after.
    const String& archiveName = archive->GetName();
    rar2::Archive contents;
    int read = rar2::ReadArchive(reinterpret_cast<const uint8_t*>(archive->GetData()),
                                 static_cast<size_t>(archive->GetSize()), &contents, archiveName.CStr());
    if (archive->Close() != kOk) return kFailed;
    if (read != kOk) return read;

    std::unique_ptr<Directory> top(new (std::nothrow) Directory(archiveName));
    int added = top ? AddEntries(contents, top.get(), GetModule()) : kOutOfMemory;
    if (added != kOk) {
        LogError("Недостаточно памяти для построения директории архива [%s].", archiveName.CStr());
        return added;
    }
    *directory = top.release();
    return kOk;
}

int RAR2FileCodec::SaveDirectory(File* archive, Directory* directory) {
    if (!archive || !directory) return kNotFound;
    LogWarning("Кодек [%s] не записывает архивы: директория [%s] не сохранена в [%s].", GetName().CStr(),
               directory->GetName().CStr(), archive->GetName().CStr());
    return kFailed;
}

int CreateRar2FileCodec(Codec** codec) {
    if (!codec) return kNotFound;
    *codec = new (std::nothrow) RAR2FileCodec();
    return *codec ? kOk : kOutOfMemory;
}

}  // namespace zav
