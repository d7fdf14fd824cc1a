#include "audio/core/LibraryEntryPoints.h"

#include <new>

namespace zav::audio {

Library& GetLibrary() {
    static Library* library = new Library();
    return *library;
}

namespace {

#define ZAV_AUDIO_FORWARD(result, name, parameters, arguments) \
    result name parameters { return GetLibrary().name arguments; }
ZAV_AUDIO_ENTRY_POINTS(ZAV_AUDIO_FORWARD)
#undef ZAV_AUDIO_FORWARD

AudioEntryPoints MakeEntryPoints() {
    AudioEntryPoints entryPoints;
#define ZAV_AUDIO_ENTRY(result, name, parameters, arguments) entryPoints.name = &name;
    ZAV_AUDIO_ENTRY_POINTS(ZAV_AUDIO_ENTRY)
#undef ZAV_AUDIO_ENTRY
    return entryPoints;
}

}  // namespace

const AudioEntryPoints& LibraryEntryPoints() {
    static const AudioEntryPoints entryPoints = MakeEntryPoints();
    return entryPoints;
}

}  // namespace zav::audio
