#include "app/ScreensaverApp.h"

#include <cstring>
#include <new>

#include "app/RunEndingRule.h"
#include "app/SystemWindow.h"
#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/files/FileManager.h"
#include "engine/files/ModuleManager.h"
#include "engine/input/InputManager.h"
#include "engine/platform/Platform.h"
#include "engine/render/Renderer.h"

namespace zav {

ScreensaverApp* theApp = nullptr;

namespace {

constexpr int kCustomDataResource = 134;
constexpr int kMediaResource = 227;

const char* const kAllCodecs[] = {
    "BMPImageCodec", "JPGImageCodec", "TGAImageCodec", "CUBEImageCodec", "STRSceneCodec", "RAR2FileCodec",
};
const char* const kPictureCodecs[] = {"BMPImageCodec", "JPGImageCodec", "RAR2FileCodec"};

bool IsFullRun(int32_t mode) { return mode == kModeScreensaver || mode == kModeTest; }

}  // namespace

ScreensaverApp::ScreensaverApp()
    : InputHandler(String()),
      instance_(GetModuleHandleW(nullptr)),
      registryPath_("Software\\VORNHALT Studio\\Test Screensaver") {
    theApp = this;
    InstallSystemWindow();
}

ScreensaverApp::~ScreensaverApp() {
    if (screensaverFlagSet_) SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
    if (theApp == this) theApp = nullptr;
}

int ScreensaverApp::SelectMode() {
    ModeSelection selection = zav::SelectMode(platform::GetCommandLineText());
    mode_ = selection.mode;
    parentWindow_ = nullptr;
    if (selection.hasParent) {
        // Window handles are 32-bit values, sign-extended on 64-bit Windows.
        HWND window = reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(selection.parentWindow)));
        if (IsWindow(window)) parentWindow_ = window;
    }
    // Only a real screensaver run tells the system that a screensaver runs;
    // the destructor clears the flag again.
    if (IsFullRun(mode_) && SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, TRUE, nullptr, 0))
        screensaverFlagSet_ = true;
    return kOk;
}

int ScreensaverApp::Create() {
    if (SelectMode() != kOk) {
        LogError("Невозможно выбрать режим скринсейвера.");
        return kFailed;
    }
    LogInfo("Режим скринсейвера %d.", mode_);

    if (LoadSettings() != kOk) return kFailed;

    if (StartEngine() != kOk) {
        LogError("Невозможно инициализировать скринсейвер.");
        return kFailed;
    }
    LogInfo("Скринсейвер инициализирован.");
    if (CreateWindows() != kOk) {
        LogError("Невозможно создать окна скринсейвера.");
        return kFailed;
    }
    LogInfo("Окна скринсейвера созданы.");

    if (IsFullRun(mode_)) {
        if (Renderer* renderer = GetRenderer()) renderer->SetBrightness(current_.Number(kGamma));
        bool sound = current_.Flag(kMusic) || current_.Flag(kSfx);
        SetMasterVolume(sound ? current_.Number(kVolume) : 0);
        if (CreateVisualData() != kOk) {
            LogError("Невозможно создать данные визуализации.");
            return kFailed;
        }
        if (ShowLoadingScreen() != kOk) {
            LogError("Невозможно вывести загрузочный экран.");
            return kFailed;
        }
        if (CreateData() != kOk) {
            LogError("Невозможно создать данные скринсейвера.");
            return kFailed;
        }
        if (CacheData() != kOk) {
            LogError("Невозможно закэшировать данные скринсейвера.");
            return kFailed;
        }
    }
    running_ = 1;
    return kOk;
}

int ScreensaverApp::LoadSettings() {
    if (LoadDefaultSettings() != kOk) {
        LogError("Невозможно загрузить значения параметров по-умолчанию.");
        return kFailed;
    }
    LogInfo("Значения параметров по-умолчанию загружены.");
    if (ApplyDefaults() != kOk) {
        LogError("Невозможно установить значения параметров по-умолчанию.");
        return kFailed;
    }
    LogInfo("Значения параметров по-умолчанию установлены.");
    if (ReadRegistrySettings() != kOk) {
        LogError("Невозможно прочитать значения параметров из реестра.");
        return kFailed;
    }
    LogInfo("Значения параметров прочитаны из реестра.");
    if (LogSettings() != kOk) LogError("Невозможно вывести значения параметров.");
    if (LoadUiStrings() != kOk) {
        LogError("Невозможно загрузить значения локальных данных.");
        return kFailed;
    }
    LogInfo("Значения локальных данных загружены.");
    return kOk;
}

int ScreensaverApp::StartEngineWithArchives(const char* const* codecs, int codecCount, bool mountMedia,
                                            bool registerInput) {
    if (EngineInit() != kOk) {
        LogError("Невозможно инициализировать движок.");
        return kFailed;
    }
    if (CreateRenderer("DirectX9") != kOk) {
        LogError("Невозможно создать рендерер DirectX.");
        return kFailed;
    }
    for (int i = 0; i < codecCount; ++i) LoadModule(codecs[i], nullptr);
    for (int i = 0; i < codecCount; ++i) LoadCodec(codecs[i], nullptr);
    if (MountResourceArchive(kCustomDataResource, "CustomData.rar2", String()) != kOk) {
        LogError("Невозможно подсоединить директорию CustomData.");
        return kFailed;
    }
    if (mountMedia && MountResourceArchive(kMediaResource, "Media.rar2", String()) != kOk) {
        LogError("Невозможно подсоединить директорию Media.");
        return kFailed;
    }
    if (registerInput && RegisterInputHandler(this) != kOk) {
        LogError("Невозможно зарегистрировать обработчик событий.");
        return kFailed;
    }
    return kOk;
}

int ScreensaverApp::StartEngine() {
    int result = kOk;
    if (IsFullRun(mode_))
        result = StartEngineWithArchives(kAllCodecs, 6, true, true);
    else if (mode_ == kModePreview || mode_ == kModeConfigure)
        result = StartEngineWithArchives(kPictureCodecs, 3, false, false);
    if (result != kOk) return result;
    return OnEngineStarted();
}

int ScreensaverApp::StopEngine() {
    if (OnEngineStopping() != kOk) return kFailed;
    if (mode_ == kModePassword) return kOk;
    if (DestroyRenderer() != kOk) {
        LogError("Невозможно удалить рендерер DirectX.");
        return kFailed;
    }
    if (EngineShutdown() != kOk) {
        LogError("Невозможно завершить работу движка.");
        return kFailed;
    }
    return kOk;
}

int ScreensaverApp::Run() {
    switch (mode_) {
        case kModeConfigure: {
            LogInfo("Запущен режим конфигурирования.");
            INT_PTR result = ShowSettingsDialog();
            // 0 and -1 both mean the dialog could not be shown.
            return result == 0 || result == -1 ? kFailed : kOk;
        }
        case kModePreview:
            RunPreviewLoop();
            return kOk;
        case kModeScreensaver:
        case kModeTest:
            return RunMainLoop();
        default:
            return kOk;
    }
}

int ScreensaverApp::Shutdown() {
    // Every step runs, whatever failed before it; the result reports any failure.
    int result = kOk;
    if (IsFullRun(mode_)) {
        if (DeleteData() != kOk) {
            LogError("Невозможно удалить данные скринсейвера.");
            result = kFailed;
        }
        if (DeleteVisualData() != kOk) {
            LogError("Невозможно удалить данные визуализации.");
            result = kFailed;
        }
    }
    if (DeleteWindows() != kOk) {
        LogError("Невозможно удалить окна скринсейвера.");
        result = kFailed;
    } else {
        LogInfo("Окна скринсейвера удалены.");
    }
    if (StopEngine() != kOk) {
        LogError("Невозможно завершить работу скринсейвера.");
        result = kFailed;
    } else {
        LogInfo("Скринсейвер завершил работу.");
    }
    return result;
}

namespace {

// One rule for the whole process: its mouse-move allowance is never restored.
RunEndingRule gRunEndingRule;

}  // namespace

int ScreensaverApp::OnInputEvent(const InputEvent& event) {
    if (gRunEndingRule.EndsRun(event, current_.Flag(kExitOnMouseMove))) running_ = 0;
    return OnInputEventExtra(event);
}

}  // namespace zav
