#include "tests/support/RecordingAudio.h"

#include <cstdio>

#include "audio/core/LibraryEntryPoints.h"
#include "engine/sound/SoundManager.h"

namespace zav::test {

namespace {

std::vector<std::string> gCalls;

std::string Describe(uint32_t value) { return std::to_string(value); }
std::string Describe(int32_t value) { return std::to_string(value); }
std::string Describe(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}
std::string Describe(const audio::AudioVector* vector) {
    return vector ? "(" + Describe(vector->x) + "," + Describe(vector->y) + "," + Describe(vector->z) + ")" : "null";
}
std::string Describe(const void* pointer) { return pointer ? "data" : "null"; }

std::string Join() { return std::string(); }
template <class First, class... Rest>
std::string Join(First first, Rest... rest) {
    return " " + Describe(first) + Join(rest...);
}

#define ZAV_RECORD(result, name, parameters, arguments)     \
    result Record##name parameters {                        \
        gCalls.push_back(#name + Join arguments);           \
        return audio::LibraryEntryPoints().name arguments; \
    }
ZAV_AUDIO_ENTRY_POINTS(ZAV_RECORD)
#undef ZAV_RECORD

const audio::AudioEntryPoints& Recording() {
    static const audio::AudioEntryPoints entryPoints = [] {
        audio::AudioEntryPoints table;
#define ZAV_RECORD_ENTRY(result, name, parameters, arguments) table.name = &Record##name;
        ZAV_AUDIO_ENTRY_POINTS(ZAV_RECORD_ENTRY)
#undef ZAV_RECORD_ENTRY
        return table;
    }();
    return entryPoints;
}

}  // namespace

RecordingAudio::RecordingAudio() {
    gCalls.clear();
    InstallSoundLibrary(&Recording());
}

RecordingAudio::~RecordingAudio() {
    InstallSoundLibrary(nullptr);
    gCalls.clear();
}

const std::vector<std::string>& RecordingAudio::Calls() const { return gCalls; }

void RecordingAudio::Clear() { gCalls.clear(); }

std::vector<std::string> RecordingAudio::CallsTo(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& call : gCalls)
        if (call.compare(0, prefix.size(), prefix) == 0) found.push_back(call);
    return found;
}

}  // namespace zav::test
