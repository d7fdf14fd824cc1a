#pragma once

#include <cstdio>

#include "engine/core/Named.h"
#include "engine/core/RefCounted.h"
#include "engine/core/String.h"

namespace zav {

enum LogLevel : int {
    kLogInfo = 0,
    kLogWarning = 1,
    kLogError = 2,
    kLogCritical = 3,
};

// Longest formatted message, terminating zero included; longer texts are cut.
constexpr int kLogMessageLimit = 4096;

// Receives every logged message with its level.
class MessageOutput : public RefCounted, public Named {
public:
    explicit MessageOutput(const String& name) : Named(name) {}
    virtual void Print(int level, const String& text) = 0;
};

// Writes one line per message to a text file, truncated when the output is
// created. The path is UTF-8 and is opened through the platform's wide-path
// file functions, so any user folder works. Without a file it stays silent.
class FileMessageOutput : public MessageOutput {
public:
    FileMessageOutput(const String& utf8Path, const String& name);
    ~FileMessageOutput() override;

    void Print(int level, const String& text) override;
    bool IsOpen() const { return file_ != nullptr; }

private:
    std::FILE* file_ = nullptr;
};

// The line prefix the file output writes for a level ("INFO. " ...).
const char* LogLevelPrefix(int level);

int RegisterMessageOutput(MessageOutput* output);
int UnregisterMessageOutput(MessageOutput* output);
int MessageOutputCount();

void LogInfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogCritical(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogMessage(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace zav
