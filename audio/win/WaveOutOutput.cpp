#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include "audio/win/WaveOutOutput.h"

#include <windows.h>

#include <mmsystem.h>  // after windows.h, which it needs

#include <atomic>
#include <new>
#include <thread>
#include <vector>

#include "audio/core/Mixer.h"

namespace zav::audio {

namespace {

// Sixteen buffers of 1024 frames: about 370 ms queued at 44.1 kHz, which
// rides out the busy frames of the screensaver's loop on a loaded machine,
// refilled 23 ms at a time so that the queue stays nearly full. The thread
// also looks for returned buffers every 10 ms in case an event is missed.
constexpr int kBufferCount = 16;
constexpr int kBufferFrames = 1024;
constexpr DWORD kPollMilliseconds = 10;

// Asks for the scheduling an audio thread gets: the highest priority of its
// process and, where the system has it, the multimedia class scheduler's
// "Pro Audio" task. Also names the thread (where the system can), for
// debuggers and process listings. All of it is optional: a system without
// it plays all the same.
class AudioThreadScheduling {
public:
    AudioThreadScheduling() {
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
        if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
            using Describe = HRESULT(WINAPI*)(HANDLE, PCWSTR);
            if (auto describe = reinterpret_cast<Describe>(
                    reinterpret_cast<void*>(GetProcAddress(kernel, "SetThreadDescription"))))
                describe(GetCurrentThread(), L"zav audio out");
        }
        avrt_ = LoadLibraryW(L"avrt.dll");
        if (!avrt_) return;
        using Join = HANDLE(WINAPI*)(LPCWSTR, LPDWORD);
        auto join = reinterpret_cast<Join>(
            reinterpret_cast<void*>(GetProcAddress(avrt_, "AvSetMmThreadCharacteristicsW")));
        DWORD index = 0;
        if (join) task_ = join(L"Pro Audio", &index);
    }
    ~AudioThreadScheduling() {
        if (task_) {
            using Leave = BOOL(WINAPI*)(HANDLE);
            if (auto leave = reinterpret_cast<Leave>(
                    reinterpret_cast<void*>(GetProcAddress(avrt_, "AvRevertMmThreadCharacteristics"))))
                leave(task_);
        }
        if (avrt_) FreeLibrary(avrt_);
    }

private:
    HMODULE avrt_ = nullptr;
    HANDLE task_ = nullptr;
};

class WaveOutOutput : public Output {
public:
    WaveOutOutput(Mixer& mixer) : mixer_(mixer) {}

    ~WaveOutOutput() override {
        if (thread_.joinable()) {
            stopping_ = true;
            SetEvent(event_);
            thread_.join();
        }
        if (device_) {
            waveOutReset(device_);
            for (WAVEHDR& header : headers_)
                if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device_, &header, sizeof header);
            waveOutClose(device_);
        }
        if (event_) CloseHandle(event_);
    }

    bool Open(uint32_t rate, std::string& description) {
        event_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (!event_) return false;
        WAVEFORMATEX format = {};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 2;
        format.nSamplesPerSec = rate;
        format.wBitsPerSample = 16;
        format.nBlockAlign = 4;
        format.nAvgBytesPerSec = rate * 4;
        if (waveOutOpen(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(event_), 0, CALLBACK_EVENT) !=
            MMSYSERR_NOERROR) {
            device_ = nullptr;
            return false;
        }
        WAVEOUTCAPSA caps = {};
        if (waveOutGetDevCapsA(reinterpret_cast<UINT_PTR>(device_), &caps, sizeof caps) == MMSYSERR_NOERROR)
            description = caps.szPname;
        for (int i = 0; i < kBufferCount; ++i) {
            samples_[i].assign(2 * kBufferFrames, 0);
            headers_[i] = {};
            headers_[i].lpData = reinterpret_cast<LPSTR>(samples_[i].data());
            headers_[i].dwBufferLength = 4 * kBufferFrames;
            if (waveOutPrepareHeader(device_, &headers_[i], sizeof headers_[i]) != MMSYSERR_NOERROR) return false;
        }
        for (WAVEHDR& header : headers_)
            if (!Queue(header)) return false;
        thread_ = std::thread([this] { Run(); });
        return true;
    }

private:
    bool Queue(WAVEHDR& header) {
        mixer_.Render(reinterpret_cast<int16_t*>(header.lpData), kBufferFrames);
        return waveOutWrite(device_, &header, sizeof header) == MMSYSERR_NOERROR;
    }

    // The device hands buffers back in the order they were queued; they are
    // queued again in that order.
    void Run() {
        AudioThreadScheduling scheduling;
        int next = 0;
        while (!stopping_) {
            WaitForSingleObject(event_, kPollMilliseconds);
            while (!stopping_ && (headers_[next].dwFlags & WHDR_DONE)) {
                headers_[next].dwFlags &= ~WHDR_DONE;
                Queue(headers_[next]);
                next = (next + 1) % kBufferCount;
            }
        }
    }

    Mixer& mixer_;
    HWAVEOUT device_ = nullptr;
    HANDLE event_ = nullptr;
    WAVEHDR headers_[kBufferCount] = {};
    std::vector<int16_t> samples_[kBufferCount];
    std::thread thread_;
    std::atomic<bool> stopping_{false};
};

}  // namespace

std::unique_ptr<Output> OpenWaveOutOutput(Mixer& mixer, uint32_t rate, void*, std::string& description) {
    std::unique_ptr<WaveOutOutput> output(new (std::nothrow) WaveOutOutput(mixer));
    if (!output || !output->Open(rate, description)) return nullptr;
    return output;
}

}  // namespace zav::audio
