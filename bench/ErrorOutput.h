#pragma once

#include <cstdio>

#include "engine/core/Log.h"

namespace zav::bench {

// Shows the engine's errors and warnings on stderr, so that a failing run
// says why.
class ErrorOutput : public MessageOutput {
public:
    ErrorOutput() : MessageOutput("stderr") {}
    void Print(int level, const String& text) override {
        if (level >= kLogWarning) std::fprintf(stderr, "%s%s\n", LogLevelPrefix(level), text.CStr());
    }
};

}  // namespace zav::bench
