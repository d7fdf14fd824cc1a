#pragma once

#include <string>
#include <vector>

#include "audio/AudioApi.h"

namespace zav::test {

// The sound library for host tests: the portable audio library of the
// process (no device), with every call noted as its name and arguments
// ("ChannelPlay 3 0", "ChannelSet3DPosition 3 (1,0,0) null null"). Installed
// as the sound manager's library while the object lives.
class RecordingAudio {
public:
    RecordingAudio();
    ~RecordingAudio();
    RecordingAudio(const RecordingAudio&) = delete;
    RecordingAudio& operator=(const RecordingAudio&) = delete;

    const std::vector<std::string>& Calls() const;
    void Clear();
    // Calls whose text starts with `prefix`.
    std::vector<std::string> CallsTo(const std::string& prefix) const;
};

}  // namespace zav::test
