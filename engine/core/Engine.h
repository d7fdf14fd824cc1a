#pragma once

namespace zav {

constexpr int kEngineVersionMajor = 0;
constexpr int kEngineVersionMinor = 1;
constexpr int kEngineVersionBuild = 2;

// A start-up or shutdown step: returns 0 on success, non-zero on failure.
using EngineFunction = int (*)();

// Static initialization only appends to these lists; EngineInit and
// EngineShutdown run them. Entries keep their order and are never removed.
void AddInitFunction(EngineFunction function);
void AddPostInitFunction(EngineFunction function);
void AddShutdownFunction(EngineFunction function);

int EngineInit();
int EngineShutdown();

// Number of entries in each list (for diagnostics and tests).
int InitFunctionCount();
int PostInitFunctionCount();
int ShutdownFunctionCount();

// Appends `init` and `shutdown` once, however often it is called; used by
// classes and managers from their static registration objects.
struct EngineRegistration {
    EngineRegistration(bool& done, EngineFunction init, EngineFunction shutdown);
};

}  // namespace zav
