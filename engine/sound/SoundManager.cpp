#include "engine/sound/SoundManager.h"

#include <cstdio>
#include <string>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/core/Values.h"
#include "engine/platform/Platform.h"
#include "engine/render/Renderer.h"

namespace zav {

namespace {

constexpr const char* kLibraryResourceType = "BASS";
constexpr int kLibraryResource = 108;
constexpr float kDistanceFactor = 1.0f;
constexpr float kStartRolloff = 7.0f;
constexpr float kWindowRolloff = 10.0f;
constexpr float kDopplerFactor = 1.0f;

void* gLibrary = nullptr;        // the loaded library
std::string gLibraryFile;        // its temporary copy, from creation until deleted
audio::AudioEntryPoints gBound;  // bound from gLibrary
const audio::AudioEntryPoints* gEntryPoints = nullptr;

// The description of `device`, empty when the library has none.
const char* DescribeDevice(uint32_t device) {
    const char* description = gEntryPoints->GetDeviceDescription(device);
    return description ? description : "";
}

void OpenDevice(void* window) {
    const audio::AudioEntryPoints& library = *gEntryPoints;
    if (library.Init(audio::kAudioDefaultDevice, 44100, audio::kAudioInit3D, window, nullptr)) {
        const uint32_t device = library.GetDevice();
        LogInfo("Звук инициализирован. Устройство [%d] [%s]", static_cast<int>(device), DescribeDevice(device));
        return;
    }
    // The error code first: the calls after it set their own.
    const int32_t reason = library.ErrorGetCode();
    LogError("Невозможно инициализировать звук. Причина [%d]. Устройство [%s]", reason,
             DescribeDevice(library.GetDevice()));
}

void SetFactors(float rolloff) {
    gEntryPoints->Set3DFactors(kDistanceFactor, rolloff, kDopplerFactor);
    gEntryPoints->Apply3D();
}

void TurnListener(const Vector3& front, const Vector3& top) {
    if (!gEntryPoints) return;
    const audio::AudioVector listenerFront{front.x, front.y, front.z}, listenerTop{top.x, top.y, top.z};
    gEntryPoints->Set3DPosition(nullptr, nullptr, &listenerFront, &listenerTop);
    gEntryPoints->Apply3D();
}

void RemoveLibraryFile() {
    if (gLibraryFile.empty()) return;
    platform::RemoveFile(gLibraryFile.c_str());
    gLibraryFile.clear();
}

// Writes the library's bytes to a new temporary file; false when it cannot.
bool WriteLibraryFile(const platform::Blob& blob) {
    gLibraryFile = platform::CreateTempFile("bas");
    if (gLibraryFile.empty()) return false;
    bool written = false;
    if (std::FILE* file = platform::OpenFile(gLibraryFile.c_str(), "wb")) {
        written = std::fwrite(blob.data, 1, blob.size, file) == blob.size;
        written = std::fclose(file) == 0 && written;
    }
    return written;
}

// Binds every entry point by name; false when one is missing.
bool BindEntryPoints() {
    gBound = audio::AudioEntryPoints();
    bool complete = true;
#define ZAV_AUDIO_BIND(result, name, parameters, arguments)                                                     \
    gBound.name = reinterpret_cast<result(*) parameters>(platform::FindLibrarySymbol(gLibrary, "BASS_" #name)); \
    complete = complete && gBound.name;
    ZAV_AUDIO_ENTRY_POINTS(ZAV_AUDIO_BIND)
#undef ZAV_AUDIO_BIND
    return complete;
}

}  // namespace

// Without the library (no resource, no temporary copy, a copy that does not
// load) the run goes on silently; a library of another version fails the
// start.
int InitializeSoundManager() {
    LogInfo("Инициализация менеджера звука.");
    if (gLibrary) return kOk;
    platform::Blob blob;
    if (!platform::FindBlob(kLibraryResourceType, kLibraryResource, &blob)) {
        LogError("Инициализация менеджера звука. Невозможно найти ресурс [bass.dll].");
        return kOk;
    }
    if (blob.size == 0) {
        LogError("Инициализация менеджера звука. Размер ресурса [bass.dll] равен 0.");
        return kOk;
    }
    if (!blob.data) {
        LogError("Инициализация менеджера звука. Невозможно залочить ресурс [bass.dll].");
        return kOk;
    }
    RemoveLibraryFile();  // left by an earlier start that failed
    if (!WriteLibraryFile(blob)) {
        LogError("Инициализация менеджера звука. Невозможно создать временный файл [bass.dll].");
        return kOk;
    }
    gLibrary = platform::OpenLibrary(gLibraryFile.c_str());
    if (!gLibrary) {
        LogError("Инициализация менеджера звука. Невозможно загрузить библиотеку [bass.dll].");
        return kOk;
    }
    // A library without every entry point is not the version the program
    // was made for either.
    if (!BindEntryPoints() || gBound.GetVersion() != audio::kAudioVersion) {
        LogError("Версия библиотеки BASS не совпадает.");
        return kFailed;
    }
    gEntryPoints = &gBound;
    OpenDevice(nullptr);
    SetFactors(kStartRolloff);
    SetListenerFunction(TurnListener);
    LogInfo("Менеджер звука инициализирован.");
    return kOk;
}

int ShutdownSoundManager() {
    LogInfo("Завершение работы менеджера звука.");
    SetListenerFunction(nullptr);
    if (gEntryPoints) gEntryPoints->Free();
    gEntryPoints = nullptr;
    const bool loaded = gLibrary != nullptr;
    if (loaded) {
        platform::CloseLibrary(gLibrary);
        gLibrary = nullptr;
        gBound = audio::AudioEntryPoints();
    }
    // Also when the copy was written but did not load.
    RemoveLibraryFile();
    if (loaded) LogInfo("Менеджер звука завершил работу.");
    return kOk;
}

const audio::AudioEntryPoints* GetSoundLibrary() { return gEntryPoints; }

void InstallSoundLibrary(const audio::AudioEntryPoints* entryPoints) {
    gEntryPoints = entryPoints;
    SetListenerFunction(entryPoints ? TurnListener : nullptr);
}

void InitializeSoundDevice(void* window) {
    if (!gEntryPoints) return;
    OpenDevice(window);
    SetFactors(kWindowRolloff);
}

int SetMasterVolume(uint32_t volume) {
    if (!gEntryPoints) return kFailed;
    gEntryPoints->SetConfig(audio::kAudioConfigStreamVolume, volume > 100 ? 100 : volume);
    return kOk;
}

}  // namespace zav
