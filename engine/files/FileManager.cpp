#include "engine/files/FileManager.h"

#include <climits>
#include <new>

#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/Codec.h"
#include "engine/files/CodecManager.h"
#include "engine/files/Directory.h"
#include "engine/files/MemoryFile.h"
#include "engine/platform/Platform.h"

namespace zav {

namespace {

Directory* gRoot = nullptr;

bool gFileManagerRegistered = false;
EngineRegistration gFileManagerRegistration(gFileManagerRegistered, InitializeFileManager, ShutdownFileManager);

}  // namespace

int InitializeFileManager() {
    LogInfo("Инициализация менеджера файлов.");
    if (!gRoot) {
        gRoot = new (std::nothrow) Directory(String());
        if (!gRoot) {
            LogError("Недостаточно памяти для инициализации менеджера файлов.");
            return kFailed;
        }
    }
    LogInfo("Менеджер файлов инициализирован.");
    return kOk;
}

int ShutdownFileManager() {
    LogInfo("Завершение работы менеджера файлов.");
    Directory* root = gRoot;
    gRoot = nullptr;
    delete root;
    LogInfo("Менеджер файлов завершил работу.");
    return kOk;
}

Directory* GetRoot() { return gRoot; }

File* FindFile(const String& path) {
    if (!gRoot) return nullptr;
    for (int32_t i = 0; i < gRoot->GetDirectoryCount(); ++i)
        if (File* file = gRoot->GetSubdirectory(i)->FindFile(path)) return file;
    return nullptr;
}

int MountArchive(File* file, const String& password) {
    if (!file) {
        LogWarning("Указатель на архив равен 0.");
        return kNotFound;
    }
    // Only an archive codec can mount; a codec of another kind picked by the
    // extension counts as none.
    FileCodec* codec = FindCodecForFile<FileCodec>(file);
    if (!codec) {
        LogWarning("Не найден кодек для архива [%s].", file->GetName().CStr());
        return kNotFound;
    }
    Directory* directory = nullptr;
    int loaded = codec->LoadDirectory(file, &directory, password);
    if (loaded != kOk || !directory) {
        delete directory;
        LogError("Невозможно загрузить директорию из архива [%s].", file->GetName().CStr());
        return loaded != kOk ? loaded : kFailed;
    }
    if (!gRoot || gRoot->AttachDirectory(directory) != kOk) {
        LogError("Невозможно подсоединить директорию [%s] к корню.", directory->GetName().CStr());
        delete directory;
        return kFailed;
    }
    return kOk;
}

int LoadResource(int id, const char** data, int32_t* size) {
    if (!data) {
        LogError("Указатель на данные ресурса равен 0.");
        return kNotFound;
    }
    if (!size) {
        LogError("Указатель на размер ресурса равен 0.");
        return kNotFound;
    }
    platform::Blob blob;
    if (!platform::FindBlob("MEDIADATA", id, &blob)) {
        LogError("Невозможно найти ресурс ID[%d].", id);
        return kFailed;
    }
    // A file's content is counted in 32 bits.
    if ((!blob.data && blob.size > 0) || blob.size > static_cast<size_t>(INT32_MAX)) {
        LogError("Невозможно загрузить ресурс ID[%d].", id);
        return kFailed;
    }
    *data = static_cast<const char*>(blob.data);
    *size = static_cast<int32_t>(blob.size);
    return kOk;
}

int MountResourceArchive(int id, const String& name, const String& password) {
    const char* bytes = nullptr;
    int32_t size = 0;
    int loaded = LoadResource(id, &bytes, &size);
    if (loaded != kOk) {
        LogWarning("Невозможно прочитать ресурс ID[%d] Имя[%s].", id, name.CStr());
        return loaded;
    }
    MemoryFile* archive = new (std::nothrow) MemoryFile(name);
    if (!archive) {
        LogError("Недостаточно памяти для создания виртуального файла.");
        return kOutOfMemory;
    }
    // The resource bytes are the process's; the file reads them in place.
    archive->SetBorrowedSource(bytes, size);
    int result = MountArchive(archive, password);
    delete archive;
    return result;
}

}  // namespace zav
