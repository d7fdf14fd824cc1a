#pragma once

#include "engine/core/Log.h"

namespace zav {

// Opens "<application data>\VORNHALT Studio\SSELog.txt" (rewritten at every
// start) and registers it as a log output; null when there is no
// application-data folder, and the program then runs without a log.
Ref<FileMessageOutput> OpenLogFile();

}  // namespace zav
