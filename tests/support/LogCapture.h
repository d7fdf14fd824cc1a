#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/core/Log.h"

namespace zav::test {

// A message output that keeps every line it receives; registered for the
// lifetime of the object.
class LogCapture {
public:
    LogCapture() : output_(new Output()) { RegisterMessageOutput(output_.Get()); }
    ~LogCapture() { UnregisterMessageOutput(output_.Get()); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    struct Line {
        int level;
        std::string text;
    };

    const std::vector<Line>& Lines() const { return output_->lines; }
    void Clear() { output_->lines.clear(); }

    // True when some line has this level and exactly this text.
    bool Has(int level, const std::string& text) const {
        for (const Line& line : output_->lines)
            if (line.level == level && line.text == text) return true;
        return false;
    }
    // True when some line has this level and a text that starts with `prefix`.
    bool HasPrefix(int level, const std::string& prefix) const {
        for (const Line& line : output_->lines)
            if (line.level == level && line.text.compare(0, prefix.size(), prefix) == 0) return true;
        return false;
    }
    // Texts of the lines, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Line& line : output_->lines) texts.push_back(line.text);
        return texts;
    }

private:
    struct Output : MessageOutput {
        Output() : MessageOutput("capture") {}
        void Print(int level, const String& text) override {
            lines.push_back({level, std::string(text.CStr(), static_cast<size_t>(text.Length()))});
        }
        std::vector<Line> lines;
    };
    Ref<Output> output_;
};

}  // namespace zav::test
