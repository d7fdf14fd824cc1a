#include "engine/core/Log.h"

#include <cstdarg>
#include <cstdio>

#include "engine/core/Array.h"
#include "engine/core/Result.h"
#include "engine/platform/Platform.h"

namespace zav {

namespace {

using OutputList = Array<Ref<MessageOutput>>;

// The list lives until process exit; its holder drops every output then,
// which closes the log file. Messages logged after that go nowhere.
OutputList* gOutputs = nullptr;

struct OutputListHolder {
    ~OutputListHolder() {
        OutputList* outputs = gOutputs;
        gOutputs = nullptr;
        delete outputs;
    }
} gOutputListHolder;

OutputList& Outputs() {
    if (!gOutputs) gOutputs = new OutputList(1, 1);
    return *gOutputs;
}

void Dispatch(int level, const char* format, va_list args) {
    if (!gOutputs || gOutputs->IsEmpty()) return;
    char buffer[kLogMessageLimit];
    int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (written < 0) return;
    int32_t length = written < kLogMessageLimit ? written : kLogMessageLimit - 1;
    // Iterate by index over a snapshot of references: an output may log or
    // unregister while printing.
    for (int32_t i = 0; gOutputs && i < gOutputs->Count(); ++i) {
        Ref<MessageOutput> output = (*gOutputs)[i];
        output->Print(level, String(buffer, length));
    }
}

}  // namespace

const char* LogLevelPrefix(int level) {
    switch (level) {
        case kLogInfo: return "INFO. ";
        case kLogWarning: return "WARNING. ";
        case kLogError: return "ERROR. ";
        case kLogCritical: return "CRITICAL ERROR. ";
        default: return "UNKNOWN. ";
    }
}

FileMessageOutput::FileMessageOutput(const String& utf8Path, const String& name)
    : MessageOutput(name.IsEmpty() ? String(platform::Utf8ToCodePage(utf8Path.CStr()).c_str()) : name) {
    if (!utf8Path.IsEmpty()) file_ = platform::OpenFile(utf8Path.CStr(), "w");
}

FileMessageOutput::~FileMessageOutput() {
    if (file_) std::fclose(file_);
}

void FileMessageOutput::Print(int level, const String& text) {
    if (!file_) return;
    std::fputs(LogLevelPrefix(level), file_);
    std::fwrite(text.CStr(), 1, static_cast<size_t>(text.Length()), file_);
    std::fputc('\n', file_);
}

int RegisterMessageOutput(MessageOutput* output) {
    if (!output) return kNotFound;
    OutputList& outputs = Outputs();
    for (const Ref<MessageOutput>& existing : outputs) {
        if (existing.Get() == output) {
            LogWarning("Объект вывода сообщений уже зарегестрирован. [%s]", output->GetName().CStr());
            return kOk;
        }
    }
    int result = outputs.Append(Ref<MessageOutput>(output));
    if (result != kOk) return result;
    LogInfo("Объект вывода сообщений зарегестрирован. [%s]", output->GetName().CStr());
    return kOk;
}

int UnregisterMessageOutput(MessageOutput* output) {
    if (!gOutputs || !output) return kNotFound;
    for (int32_t i = 0; i < gOutputs->Count(); ++i) {
        if ((*gOutputs)[i].Get() == output) {
            LogInfo("Объект вывода сообщений разрегестрирован. [%s]", output->GetName().CStr());
            Ref<MessageOutput> keep = (*gOutputs)[i];
            gOutputs->RemoveAt(i);
            return kOk;
        }
    }
    return kNotFound;
}

int MessageOutputCount() { return gOutputs ? gOutputs->Count() : 0; }

#define ZAV_DEFINE_LOG_FUNCTION(name, level) \
    void name(const char* format, ...) {     \
        va_list args;                        \
        va_start(args, format);              \
        Dispatch(level, format, args);       \
        va_end(args);                        \
    }

ZAV_DEFINE_LOG_FUNCTION(LogInfo, kLogInfo)
ZAV_DEFINE_LOG_FUNCTION(LogWarning, kLogWarning)
ZAV_DEFINE_LOG_FUNCTION(LogError, kLogError)
ZAV_DEFINE_LOG_FUNCTION(LogCritical, kLogCritical)

#undef ZAV_DEFINE_LOG_FUNCTION

void LogMessage(int level, const char* format, ...) {
    va_list args;
    va_start(args, format);
    Dispatch(level, format, args);
    va_end(args);
}

}  // namespace zav
