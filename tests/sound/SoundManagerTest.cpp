#include <gtest/gtest.h>
#include <dirent.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/platform/Platform.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/TransformMath.h"
#include "engine/sound/SoundManager.h"
#include "tests/support/LogCapture.h"
#include "engine/render/null/NullRenderer.h"
#include "tests/support/RecordingAudio.h"

namespace zav {
namespace {

// Files whose names start with "bas" in the temporary folder.
std::vector<std::string> LibraryCopies(const std::string& folder) {
    std::vector<std::string> found;
    if (DIR* directory = opendir(folder.c_str())) {
        while (dirent* entry = readdir(directory))
            if (std::string(entry->d_name).rfind("bas", 0) == 0) found.push_back(entry->d_name);
        closedir(directory);
    }
    return found;
}

// The manager's start from the "BASS" 108 blob, in a temporary folder of the
// test's own.
class SoundManagerStart : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zav-sound-XXXXXX";
        folder_ = mkdtemp(pattern);
        const char* previous = getenv("TMPDIR");
        previous_ = previous ? previous : "";
        setenv("TMPDIR", folder_.c_str(), 1);
    }
    void TearDown() override {
        platform::UnregisterBlob("BASS", 108);
        if (previous_.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", previous_.c_str(), 1);
        rmdir(folder_.c_str());
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& line : log.Lines()) texts.push_back(line.text);
        return texts;
    }

    std::string folder_, previous_;
    test::LogCapture log;
};

TEST_F(SoundManagerStart, WithoutTheResourceTheStartGoesOnSilently) {
    log.Clear();
    EXPECT_EQ(InitializeSoundManager(), 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           "Инициализация менеджера звука.",
                           "Инициализация менеджера звука. Невозможно найти ресурс [bass.dll].",
                       }));
    EXPECT_EQ(GetSoundLibrary(), nullptr);
    EXPECT_EQ(SetMasterVolume(50), 1);
    InitializeSoundDevice(nullptr);  // nothing to initialise: no line
    log.Clear();
    EXPECT_EQ(ShutdownSoundManager(), 0);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Завершение работы менеджера звука."});

    platform::RegisterBlob("BASS", 108, "", 0);
    log.Clear();
    EXPECT_EQ(InitializeSoundManager(), 0);
    EXPECT_TRUE(log.Has(kLogError, "Инициализация менеджера звука. Размер ресурса [bass.dll] равен 0."));
    EXPECT_TRUE(LibraryCopies(folder_).empty());
    ShutdownSoundManager();
}

TEST_F(SoundManagerStart, ACopyThatDoesNotLoadIsDeletedAtShutdownAndNothingIsCalled) {
    static const char kNotALibrary[] = "these bytes are no library at all";
    platform::RegisterBlob("BASS", 108, kNotALibrary, sizeof kNotALibrary);
    EXPECT_EQ(InitializeSoundManager(), 0);
    EXPECT_TRUE(log.Has(kLogError, "Инициализация менеджера звука. Невозможно загрузить библиотеку [bass.dll]."));
    EXPECT_EQ(GetSoundLibrary(), nullptr);
    // The copy stays for the run (a second start replaces it) ...
    ASSERT_EQ(LibraryCopies(folder_).size(), 1u);
    EXPECT_EQ(InitializeSoundManager(), 0);
    EXPECT_EQ(LibraryCopies(folder_).size(), 1u);
    // ... and the shutdown deletes it without calling into a library.
    log.Clear();
    EXPECT_EQ(ShutdownSoundManager(), 0);
    EXPECT_TRUE(LibraryCopies(folder_).empty());
    EXPECT_EQ(Texts(), std::vector<std::string>{"Завершение работы менеджера звука."});
}

TEST_F(SoundManagerStart, TheTemporaryFolderMissingIsLogged) {
    static const char kBytes[] = "x";
    platform::RegisterBlob("BASS", 108, kBytes, 1);
    setenv("TMPDIR", "/nonexistent/zav-sound", 1);
    EXPECT_EQ(InitializeSoundManager(), 0);
    EXPECT_TRUE(log.Has(kLogError, "Инициализация менеджера звука. Невозможно создать временный файл [bass.dll]."));
    ShutdownSoundManager();
}

// The manager over the recording library.
class SoundManagerCalls : public ::testing::Test {
protected:
    test::RecordingAudio audio;
    test::LogCapture log;
};

TEST_F(SoundManagerCalls, MasterVolumeIsClampedTo100AndZeroSilences) {
    EXPECT_EQ(SetMasterVolume(150), 0);
    EXPECT_EQ(SetMasterVolume(static_cast<uint32_t>(-20)), 0);
    EXPECT_EQ(SetMasterVolume(0), 0);
    EXPECT_EQ(SetMasterVolume(64), 0);
    EXPECT_EQ(audio.Calls(), (std::vector<std::string>{"SetConfig 5 100", "SetConfig 5 100", "SetConfig 5 0",
                                                       "SetConfig 5 64"}));
}

TEST_F(SoundManagerCalls, TheWindowsInitialisationLogsItsResultAndSetsTheRunsFactors) {
    InitializeSoundDevice(reinterpret_cast<void*>(0x1234));
    EXPECT_EQ(audio.Calls(), (std::vector<std::string>{"Init -1 44100 4 data null", "ErrorGetCode", "GetDevice",
                                                       "GetDeviceDescription 4294967295",
                                                       "Set3DFactors 1 10 1", "Apply3D"}));
    // No device in host tests: the failure with the library's reason.
    EXPECT_TRUE(log.Has(kLogError, "Невозможно инициализировать звук. Причина [3]. Устройство []"));
}

TEST_F(SoundManagerCalls, EachFrameTurnsTheListenerWithTheCamera) {
    Ref<NullRenderer> renderer(new NullRenderer());
    MakeRendererCurrent(renderer.Get());
    Ref<Camera> camera(new Camera("eye"));
    // Turned half about y: forward along -z, up stays +y.
    camera->SetLocalTransform(MakeTransform({1, 1, 1}, {0, 1, 0, 0}, {7, 8, 9}));
    renderer->SetCamera(camera.Get());
    ASSERT_EQ(renderer->BeginRender(), 0);
    renderer->EndRender();
    EXPECT_EQ(audio.Calls(), (std::vector<std::string>{"Set3DPosition null null (0,0,-1) (0,1,0)", "Apply3D"}));
    MakeRendererCurrent(nullptr);
    InstallSoundLibrary(nullptr);
    audio.Clear();
    // Without a library the frame turns nothing.
    renderer->BeginRender();
    EXPECT_TRUE(audio.Calls().empty());
}

}  // namespace
}  // namespace zav
