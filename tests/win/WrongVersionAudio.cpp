// An audio library of another version for the sound manager's tests: it
// exports only its version.
#include <cstdint>

extern "C" __declspec(dllexport) uint32_t BASS_GetVersion() { return 0x00020001; }
