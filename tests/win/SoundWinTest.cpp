// The audio library of resource "BASS" 108 and the sound manager under Wine,
// with no audio device: the test prefix has no audio driver, and the tests'
// environment names no PulseAudio server.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "audio/AudioApi.h"
#include "engine/core/Engine.h"
#include "engine/platform/Platform.h"
#include "engine/sound/SoundManager.h"
#include "tests/support/LogCapture.h"
#include "tools/soundgen/SoundFiles.h"

namespace zav {
namespace {

using namespace audio;

// Names of the "bas*" files in the temporary folder.
std::set<std::string> LibraryCopies() {
    wchar_t folder[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, folder);
    std::set<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((std::wstring(folder) + L"bas*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        char name[MAX_PATH * 3];
        WideCharToMultiByte(CP_UTF8, 0, found.cFileName, -1, name, sizeof name, nullptr, nullptr);
        names.insert(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::set<std::string> Added(const std::set<std::string>& before) {
    std::set<std::string> added;
    for (const std::string& name : LibraryCopies())
        if (!before.count(name)) added.insert(name);
    return added;
}

// The library of the executable's resource, loaded from a copy.
class AudioDll : public ::testing::Test {
protected:
    void SetUp() override {
        platform::Blob blob;
        ASSERT_TRUE(platform::FindBlob("BASS", 108, &blob));
        path_ = platform::CreateTempFile("zvl");
        std::FILE* file = platform::OpenFile(path_.c_str(), "wb");
        ASSERT_TRUE(file);
        ASSERT_EQ(std::fwrite(blob.data, 1, blob.size, file), blob.size);
        std::fclose(file);
        library_ = platform::OpenLibrary(path_.c_str());
        ASSERT_TRUE(library_);
#define ZAV_AUDIO_FIND(result, name, parameters, arguments) \
    entry.name = reinterpret_cast<result(*) parameters>(platform::FindLibrarySymbol(library_, "BASS_" #name));
        ZAV_AUDIO_ENTRY_POINTS(ZAV_AUDIO_FIND)
#undef ZAV_AUDIO_FIND
    }
    void TearDown() override {
        if (library_) platform::CloseLibrary(library_);
        platform::RemoveFile(path_.c_str());
    }

    AudioEntryPoints entry;
    void* library_ = nullptr;
    std::string path_;
};

TEST_F(AudioDll, ExportsEveryEntryPointAndReportsItsVersion) {
#define ZAV_AUDIO_CHECK(result, name, parameters, arguments) EXPECT_TRUE(entry.name) << "BASS_" #name;
    ZAV_AUDIO_ENTRY_POINTS(ZAV_AUDIO_CHECK)
#undef ZAV_AUDIO_CHECK
    ASSERT_TRUE(entry.GetVersion);
    EXPECT_EQ(entry.GetVersion(), 0x00020002u);
}

TEST_F(AudioDll, WithoutADeviceInitFailsQuicklyAndEverythingElseWorksSilently) {
    ASSERT_TRUE(entry.Init);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(entry.Init(-1, 44100, kAudioInit3D, nullptr, nullptr));
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_LT(took, std::chrono::seconds(2));
    EXPECT_EQ(entry.ErrorGetCode(), kAudioErrorNoDevice);
    EXPECT_EQ(entry.GetDevice(), 0xFFFFFFFFu);
    EXPECT_EQ(entry.GetDeviceDescription(entry.GetDevice()), nullptr);
    EXPECT_FALSE(entry.Init(-1, 44100, kAudioInit3D, GetDesktopWindow(), nullptr));  // again: still none
    EXPECT_EQ(entry.ErrorGetCode(), kAudioErrorNoDevice);

    const std::vector<uint8_t> tone = soundgen::EncodeWav(soundgen::MakeTone(22050, 1, 0.2, 500.0, 0.5f, 0.5f), 8);
    const uint32_t stream =
        entry.StreamCreateFile(1, tone.data(), 0, static_cast<uint32_t>(tone.size()), kAudio3D | kAudioLoop);
    ASSERT_NE(stream, 0u);
    EXPECT_TRUE(entry.ChannelPlay(stream, 0));
    EXPECT_EQ(entry.ChannelIsActive(stream), kAudioPlaying);
    const AudioVector position{-3, 0, 1}, front{0, 0, 1}, top{0, 1, 0};
    EXPECT_TRUE(entry.ChannelSet3DPosition(stream, &position, nullptr, nullptr));
    EXPECT_TRUE(entry.Set3DPosition(nullptr, nullptr, &front, &top));
    EXPECT_TRUE(entry.ChannelSet3DAttributes(stream, 0, 2.0f, -1.0f, -1, -1, -1));
    EXPECT_TRUE(entry.Set3DFactors(1.0f, 10.0f, 1.0f));
    entry.Apply3D();
    EXPECT_TRUE(entry.SetConfig(kAudioConfigStreamVolume, 40));
    EXPECT_TRUE(entry.ChannelSetAttributes(stream, -1, 70, -101));
    EXPECT_TRUE(entry.ChannelStop(stream));
    EXPECT_EQ(entry.ChannelIsActive(stream), kAudioStopped);
    entry.StreamFree(stream);
    EXPECT_EQ(entry.ErrorGetCode(), kAudioOk);
    EXPECT_FALSE(entry.Free());
    // The "no sound" device needs no hardware.
    EXPECT_TRUE(entry.Init(0, 44100, kAudioInit3D, nullptr, nullptr));
    EXPECT_STREQ(entry.GetDeviceDescription(entry.GetDevice()), "No sound");
    EXPECT_TRUE(entry.Free());
}

// The sound manager as the engine starts it, from the executable's resource.
// The process's temporary folder is a folder of the test's own, so that the
// copies it counts are the manager's, whatever other programs (tests running
// beside it) write into the prefix's temporary folder meanwhile.
class SoundManagerWin : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* name : {L"TMP", L"TEMP"}) {
            wchar_t value[MAX_PATH + 1];
            const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH + 1);
            saved_.emplace_back(name, length > 0 && length <= MAX_PATH ? std::wstring(value) : std::wstring());
        }
        wchar_t shared[MAX_PATH + 1];
        ASSERT_GT(GetTempPathW(MAX_PATH + 1, shared), 0u);
        folder_ = std::wstring(shared) + L"zav-sound-manager-" + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        for (const auto& saved : saved_) SetEnvironmentVariableW(saved.first.c_str(), folder_.c_str());
    }
    void TearDown() override {
        platform::UnregisterBlob("BASS", 108);
        for (const auto& saved : saved_)
            SetEnvironmentVariableW(saved.first.c_str(), saved.second.empty() ? nullptr : saved.second.c_str());
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW((folder_ + L"\\" + found.cFileName).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder_.c_str());
    }

    test::LogCapture log;

private:
    std::vector<std::pair<std::wstring, std::wstring>> saved_;  // TMP and TEMP as they were
    std::wstring folder_;
};

TEST_F(SoundManagerWin, StartsFromTheResourceLogsEveryStepAndCleansUp) {
    const std::set<std::string> before = LibraryCopies();
    log.Clear();
    ASSERT_EQ(EngineInit(), 0);
    const std::vector<std::string> start = {
        "Инициализация менеджера звука.",
        "Невозможно инициализировать звук. Причина [3]. Устройство []",
        "Менеджер звука инициализирован.",
    };
    std::vector<std::string> logged;
    for (const auto& line : log.Lines())
        if (line.text.find("звук") != std::string::npos || line.text.find("Звук") != std::string::npos)
            logged.push_back(line.text);
    EXPECT_EQ(logged, start);
    EXPECT_TRUE(log.Has(kLogError, start[1]));
    ASSERT_TRUE(GetSoundLibrary());
    EXPECT_EQ(GetSoundLibrary()->GetVersion(), kAudioVersion);
    const std::set<std::string> copies = Added(before);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies.begin()->rfind("bas", 0), 0u);

    // A second start does nothing but say so; the window's initialisation
    // logs the same failure.
    log.Clear();
    EXPECT_EQ(InitializeSoundManager(), 0);
    EXPECT_EQ(log.Lines().size(), 1u);
    EXPECT_TRUE(log.Has(kLogInfo, "Инициализация менеджера звука."));
    InitializeSoundDevice(GetDesktopWindow());
    EXPECT_TRUE(log.Has(kLogError, start[1]));
    EXPECT_EQ(SetMasterVolume(150), 0);

    log.Clear();
    ASSERT_EQ(EngineShutdown(), 0);
    EXPECT_TRUE(log.Has(kLogInfo, "Завершение работы менеджера звука."));
    EXPECT_TRUE(log.Has(kLogInfo, "Менеджер звука завершил работу."));
    EXPECT_FALSE(GetSoundLibrary());
    for (const std::string& copy : copies) EXPECT_FALSE(LibraryCopies().count(copy)) << copy;
}

TEST_F(SoundManagerWin, ALibraryOfAnotherVersionFailsTheStart) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    std::ifstream in((folder + L"wrong_version_audio.dll").c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    platform::RegisterBlob("BASS", 108, bytes.data(), bytes.size());
    const std::set<std::string> before = LibraryCopies();
    EXPECT_NE(EngineInit(), 0);
    EXPECT_TRUE(log.Has(kLogError, "Версия библиотеки BASS не совпадает."));
    EXPECT_FALSE(GetSoundLibrary());
    EXPECT_EQ(Added(before).size(), 1u);
    log.Clear();
    EngineShutdown();
    EXPECT_TRUE(Added(before).empty());
    EXPECT_TRUE(log.Has(kLogInfo, "Менеджер звука завершил работу."));
}

}  // namespace
}  // namespace zav
