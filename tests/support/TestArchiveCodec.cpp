#include "tests/support/TestArchiveCodec.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "engine/core/Result.h"
#include "engine/files/Directory.h"
#include "engine/files/File.h"
#include "engine/files/MemoryFile.h"

namespace zav::test {

namespace {

// Reads "text\n" at `position`; false at the end of the data or without "\n".
bool ReadLine(const std::string& data, size_t& position, std::string& line) {
    size_t end = data.find('\n', position);
    if (end == std::string::npos) return false;
    line = data.substr(position, end - position);
    position = end + 1;
    return true;
}

// The directory under `top` that `path` names, created part by part.
Directory* DirectoryFor(Directory* top, const std::string& path) {
    Directory* directory = top;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        String name(path.data() + start, static_cast<int32_t>(end - start));
        Directory* next = directory->FindSubdirectory(name);
        if (!next) next = new Directory(name, directory);
        directory = next;
        start = end + 1;
    }
    return directory;
}

}  // namespace

int TestArchiveCodec::LoadDirectory(File* archive, Directory** directory, const String&) {
    if (!archive || !directory) return kNotFound;
    *directory = nullptr;
    if (archive->Open(kFileRead) != kOk) return kFailed;
    std::string data(archive->GetData(), static_cast<size_t>(archive->GetSize()));
    archive->Close();

    std::unique_ptr<Directory> top(new Directory(archive->GetName()));
    size_t position = 0;
    std::string path, sizeText;
    while (position < data.size()) {
        if (!ReadLine(data, position, path) || !ReadLine(data, position, sizeText)) return kFailed;
        char* end = nullptr;
        unsigned long size = std::strtoul(sizeText.c_str(), &end, 10);
        if (sizeText.empty() || *end != '\0' || size > data.size() - position) return kFailed;

        size_t slash = path.rfind('/');
        Directory* parent = slash == std::string::npos ? top.get() : DirectoryFor(top.get(), path.substr(0, slash));
        std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        MemoryFile* file = new MemoryFile(String(name.data(), static_cast<int32_t>(name.size())));
        char* content = new char[size > 0 ? size : 1];
        std::memcpy(content, data.data() + position, size);
        file->SetSource(content, static_cast<int32_t>(size));
        file->SetModule(GetModule());
        parent->AttachFile(file);
        position += size;
    }
    *directory = top.release();
    return kOk;
}

int TestArchiveCodec::SaveDirectory(File*, Directory*) { return kFailed; }

std::string TestArchiveCodec::Pack(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string data;
    for (const auto& [path, content] : entries) data += path + "\n" + std::to_string(content.size()) + "\n" + content;
    return data;
}

std::string ReadContent(File* file) {
    if (!file || file->Open(kFileRead) != kOk) return "<cannot open>";
    std::string bytes(file->GetData(), static_cast<size_t>(file->GetSize()));
    file->Close();
    return bytes;
}

}  // namespace zav::test
