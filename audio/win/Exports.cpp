// The library's exported entry points, "BASS_" followed by each name of
// ZAV_AUDIO_ENTRY_POINTS, over the process's one library playing through
// the wave output.
#include "audio/AudioApi.h"
#include "audio/core/LibraryEntryPoints.h"
#include "audio/win/WaveOutOutput.h"

using namespace zav::audio;

namespace {

[[maybe_unused]] const bool gOutputSet = (GetLibrary().SetOutputOpener(&OpenWaveOutOutput), true);

}  // namespace

#define ZAV_AUDIO_EXPORT(result, name, parameters, arguments) \
    extern "C" __declspec(dllexport) result BASS_##name parameters { return LibraryEntryPoints().name arguments; }
ZAV_AUDIO_ENTRY_POINTS(ZAV_AUDIO_EXPORT)
#undef ZAV_AUDIO_EXPORT
