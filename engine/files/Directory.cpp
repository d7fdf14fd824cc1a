#include "engine/files/Directory.h"

#include <climits>
#include <cstring>
#include <vector>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/File.h"

namespace zav {

namespace {

// Sort key of an entry: the first byte of its name as a signed value; an
// empty name sorts after every byte.
int OrderKey(const String& name) { return name.IsEmpty() ? -129 : static_cast<signed char>(name[0]); }

// Where a new entry goes: after every entry whose key is not smaller, so that
// entries with equal keys keep the order they were attached in.
template <class Entry>
int32_t InsertionIndex(const Array<Entry*>& entries, const String& name) {
    const int key = OrderKey(name);
    int32_t low = 0;
    int32_t high = entries.Count();
    while (low < high) {
        int32_t middle = low + (high - low) / 2;
        if (OrderKey(entries[middle]->GetName()) >= key)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

int32_t FindFirst(const String& text, char separator) {
    for (int32_t i = 0; i < text.Length(); ++i)
        if (text[i] == separator) return i;
    return -1;
}

int32_t FindLast(const String& text, char separator) {
    for (int32_t i = text.Length() - 1; i >= 0; --i)
        if (text[i] == separator) return i;
    return -1;
}

String Slice(const String& text, int32_t from, int32_t to) { return String(text.CStr() + from, to - from); }

}  // namespace

Directory::Directory(const String& name, Directory* parent) : Named(name) {
    if (parent && parent->AttachDirectory(this) != kOk)
        LogWarning("Невозможно подсоединить директорию [%s] к корневой директории [%s].", name.CStr(),
                   parent->GetName().CStr());
}

Directory::~Directory() {
    LogInfo("Удаляется директория [%s].", GetName().CStr());
    if (parent_) {
        Directory* parent = parent_;
        if (parent->DetachDirectory(this) != kOk)
            LogWarning("Невозможно отсоединить директорию [%s] от корневой директории [%s].", GetName().CStr(),
                       parent->GetName().CStr());
    }
    DestroyContents();
    LogInfo("Директория удалена [%s].", GetName().CStr());
}

// Destroys the files, then the subdirectories one at a time from a work list
// rather than by recursion, so that a deep tree read from an archive cannot
// exhaust the stack. Each entry is unlinked before it is destroyed, so it does
// not detach itself.
void Directory::DestroyContents() {
    for (File* file : files_) {
        file->directory_ = nullptr;
        delete file;
    }
    files_.Clear();
    std::vector<Directory*> pending(subdirectories_.begin(), subdirectories_.end());
    subdirectories_.Clear();
    while (!pending.empty()) {
        Directory* directory = pending.back();
        pending.pop_back();
        directory->parent_ = nullptr;
        for (Directory* child : directory->subdirectories_) pending.push_back(child);
        directory->subdirectories_.Clear();
        delete directory;
    }
}

int Directory::AttachDirectory(Directory* directory) {
    if (!directory) {
        LogWarning("Указатель на присоединяемую директорию равен 0. Корневая директория [%s].", GetName().CStr());
        return kNotFound;
    }
    if (directory->parent_) {
        LogWarning("Присоединяемая директория [%s] уже присоединена к директории [%s].",
                   directory->GetName().CStr(), directory->parent_->GetName().CStr());
        return kNotFound;
    }
    // A directory inside itself would make the tree a cycle.
    if (Contains(directory)) {
        LogWarning("Директория [%s] не может быть присоединена к директории [%s], которая находится в ней.",
                   directory->GetName().CStr(), GetName().CStr());
        return kNotFound;
    }
    int inserted = subdirectories_.InsertAt(InsertionIndex(subdirectories_, directory->GetName()), directory);
    if (inserted != kOk) {
        LogError("Недостаточно памяти для присоединения директории [%s].", directory->GetName().CStr());
        return inserted;
    }
    directory->parent_ = this;
    LogInfo("Директория [%s] добавлена к директории [%s].", directory->GetName().CStr(), GetName().CStr());
    return kOk;
}

int Directory::AttachFile(File* file) {
    if (!file) {
        LogWarning("Указатель на присоединяемый файл равен 0. Корневая директория [%s].", GetName().CStr());
        return kNotFound;
    }
    if (file->directory_) {
        LogWarning("Присоединяемый файл [%s] уже присоединена к директории [%s].", file->GetName().CStr(),
                   file->directory_->GetName().CStr());
        return kNotFound;
    }
    int inserted = files_.InsertAt(InsertionIndex(files_, file->GetName()), file);
    if (inserted != kOk) {
        LogError("Недостаточно памяти для присоединения файла [%s].", file->GetName().CStr());
        return inserted;
    }
    file->directory_ = this;
    LogInfo("Файл [%s] добавлен к директории [%s].", file->GetName().CStr(), GetName().CStr());
    return kOk;
}

int Directory::DetachDirectory(Directory* directory) {
    if (!directory) {
        LogWarning("Указатель на отсоединяемую директорию равен 0. Корневая директория [%s].", GetName().CStr());
        return kNotFound;
    }
    int32_t index = subdirectories_.IndexOf(directory);
    if (index < 0) {
        LogWarning("Удаляемая директория [%s] не найдена в директории [%s].", directory->GetName().CStr(),
                   GetName().CStr());
        return kNotFound;
    }
    directory->parent_ = nullptr;
    LogInfo("Директория [%s] удалена из директории [%s].", directory->GetName().CStr(), GetName().CStr());
    subdirectories_.RemoveAt(index);
    return kOk;
}

int Directory::DetachFile(File* file) {
    if (!file) {
        LogWarning("Указатель на отсоединяемый файл равен 0. Корневая директория [%s].", GetName().CStr());
        return kNotFound;
    }
    int32_t index = files_.IndexOf(file);
    if (index < 0) {
        LogWarning("Удаляемый файл [%s] не найден в директории [%s].", file->GetName().CStr(), GetName().CStr());
        return kNotFound;
    }
    file->directory_ = nullptr;
    LogInfo("Файл [%s] удалён из директории [%s].", file->GetName().CStr(), GetName().CStr());
    files_.RemoveAt(index);
    return kOk;
}

bool Directory::Contains(const Directory* directory) const {
    if (directory == this) return true;
    // Only a directory with subdirectories can hold this one; a new one has
    // none, so attaching it never walks the path up.
    if (directory->subdirectories_.IsEmpty()) return false;
    for (const Directory* level = parent_; level; level = level->parent_)
        if (level == directory) return true;
    return false;
}

Directory* Directory::FindSubdirectory(const String& name) const {
    for (Directory* directory : subdirectories_)
        if (directory->GetName() == name) return directory;
    return nullptr;
}

File* Directory::FindOwnFile(const String& name) const {
    for (File* file : files_)
        if (file->GetName() == name) return file;
    return nullptr;
}

Directory* Directory::ResolveDirectory(const String& path) {
    Directory* directory = this;
    String rest = path;
    while (directory) {
        if (rest.IsEmpty() || rest == "." || rest == directory->GetName()) return directory;
        int32_t split = FindFirst(rest, '\\');
        if (split < 0) split = FindFirst(rest, '/');
        String head = split < 0 ? rest : Slice(rest, 0, split);
        rest = split < 0 ? String() : Slice(rest, split + 1, rest.Length());
        if (head.IsEmpty() || head == ".") continue;
        if (head == "..") {
            directory = directory->parent_;
        } else {
            // A part naming the directory itself (a full name begins with its
            // archive's name) stays here unless a subdirectory has that name.
            Directory* next = directory->FindSubdirectory(head);
            directory = next || head != directory->GetName() ? next : directory;
        }
    }
    return nullptr;
}

File* Directory::FindFile(const String& path) {
    int32_t split = FindLast(path, '\\');
    if (split < 0) split = FindLast(path, '/');
    if (split < 0) return FindFileInSubtree(path);
    Directory* directory = ResolveDirectory(Slice(path, 0, split));
    return directory ? directory->FindFile(Slice(path, split + 1, path.Length())) : nullptr;
}

// Depth first in array order: a directory's own files before its
// subdirectories. Walked with a work list rather than by recursion.
File* Directory::FindFileInSubtree(const String& name) {
    std::vector<Directory*> pending{this};
    while (!pending.empty()) {
        Directory* directory = pending.back();
        pending.pop_back();
        if (File* file = directory->FindOwnFile(name)) return file;
        for (int32_t i = directory->subdirectories_.Count() - 1; i >= 0; --i)
            pending.push_back(directory->subdirectories_[i]);
    }
    return nullptr;
}

String Directory::GetPath() const {
    std::vector<const Directory*> chain;
    int64_t length = 0;
    for (const Directory* level = this; level && !level->GetName().IsEmpty(); level = level->parent_) {
        chain.push_back(level);
        length += level->GetName().Length() + 1;
    }
    String path;
    char* bytes = length <= INT32_MAX ? path.TryAllocate(static_cast<int32_t>(length)) : nullptr;
    if (!bytes) return path;
    for (auto level = chain.rbegin(); level != chain.rend(); ++level) {
        const String& name = (*level)->GetName();
        std::memcpy(bytes, name.CStr(), static_cast<size_t>(name.Length()));
        bytes += name.Length();
        *bytes++ = '/';
    }
    return path;
}

}  // namespace zav
