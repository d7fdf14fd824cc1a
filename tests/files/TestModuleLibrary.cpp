// A module library for the module manager's tests: "Initialize" and
// "Shutdown" that succeed, and "Answer".
#ifdef _WIN32
#define ZAV_EXPORT extern "C" __declspec(dllexport)
#else
#define ZAV_EXPORT extern "C" __attribute__((visibility("default")))
#endif

ZAV_EXPORT int Initialize() { return 0; }
ZAV_EXPORT int Shutdown() { return 0; }
ZAV_EXPORT int Answer() { return 42; }
