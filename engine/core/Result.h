#pragma once

namespace zav {

// Engine result codes. Operations return these instead of throwing.
enum Result : int {
    kOk = 0,
    kFailed = 1,
    kOutOfMemory = 2,
    kNotFound = 3,  // also: null pointer or missing argument
};

}  // namespace zav
