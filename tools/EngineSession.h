#pragma once

// For host tools: the engine started with the codecs they name, its warnings
// and errors printed to stderr as UTF-8; stopped when the session ends.

#include <cstdio>
#include <initializer_list>

#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/platform/Platform.h"

namespace zav::tools {

class EngineSession {
public:
    explicit EngineSession(std::initializer_list<const char*> codecs) : output_(new StderrOutput) {
        RegisterMessageOutput(output_.Get());
        started_ = EngineInit() == kOk;
        for (const char* codec : codecs) started_ = started_ && LoadCodec(codec, nullptr) == kOk;
        if (!started_) std::fprintf(stderr, "the engine did not start\n");
    }
    ~EngineSession() {
        EngineShutdown();
        UnregisterMessageOutput(output_.Get());
    }
    EngineSession(const EngineSession&) = delete;
    EngineSession& operator=(const EngineSession&) = delete;

    bool Started() const { return started_; }

private:
    class StderrOutput : public MessageOutput {
    public:
        StderrOutput() : MessageOutput("stderr") {}
        void Print(int level, const String& text) override {
            if (level == kLogInfo) return;
            std::fprintf(stderr, "%s%s\n", LogLevelPrefix(level), platform::CodePageToUtf8(text.CStr()).c_str());
        }
    };

    Ref<StderrOutput> output_;
    bool started_ = false;
};

}  // namespace zav::tools
