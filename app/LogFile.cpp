#include "app/LogFile.h"

#include <string>

#include "engine/platform/Platform.h"

namespace zav {

Ref<FileMessageOutput> OpenLogFile() {
    std::string folder = platform::GetUserDataFolder();
    if (folder.empty()) return Ref<FileMessageOutput>();
    folder += "\\VORNHALT Studio";
    platform::MakeDirectory(folder.c_str());
    std::string path = folder + "\\SSELog.txt";
    Ref<FileMessageOutput> output(new FileMessageOutput(String(path.c_str()), String()));
    RegisterMessageOutput(output.Get());
    return output;
}

}  // namespace zav
