#include "app/DataFiles.h"

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/File.h"
#include "engine/files/FileManager.h"

namespace zav {

int ReadDataFile(const char* name, std::string* bytes) {
    if (!bytes) return kNotFound;
    bytes->clear();
    File* file = name ? FindFile(name) : nullptr;
    if (!file) {
        LogError("Не найден файл данных [%s].", name ? name : "");
        return kNotFound;
    }
    int opened = file->Open(kFileRead);
    if (opened != kOk) {
        LogError("Невозможно открыть файл данных [%s].", name);
        return opened;
    }
    bytes->assign(file->GetData() ? file->GetData() : "", static_cast<size_t>(file->GetSize()));
    file->Close();
    return kOk;
}

}  // namespace zav
