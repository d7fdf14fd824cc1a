#include "engine/render/shader/AssemblyError.h"

#include <cstdarg>
#include <cstdio>

namespace zav::shader {

String AssemblyError::Text() const { return String::Format("Строка %d: %s", line_, message_.CStr()); }

bool AssemblyError::Report(int line, const char* format, ...) {
    if (IsSet()) return false;
    char buffer[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    line_ = line > 0 ? line : 1;
    message_ = String(buffer);
    return false;
}

}  // namespace zav::shader
