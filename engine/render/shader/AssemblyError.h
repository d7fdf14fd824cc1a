#pragma once

// The first problem found in a shader text: the line it is on and what is
// wrong. Later reports are ignored, so a check can report and stop.

#include "engine/core/String.h"

namespace zav::shader {

class AssemblyError {
public:
    bool IsSet() const { return line_ != 0; }
    int Line() const { return line_; }
    const String& Message() const { return message_; }
    // "Строка <line>: <message>"
    String Text() const;

    // Records the problem unless one is recorded already; always returns false
    // so that checks can `return error.Report(...)`. `line` starts at 1.
    bool Report(int line, const char* format, ...) __attribute__((format(printf, 3, 4)));

private:
    int line_ = 0;
    String message_;
};

}  // namespace zav::shader
