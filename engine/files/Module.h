#pragma once

#include "engine/core/HashTable.h"
#include "engine/core/Named.h"
#include "engine/core/RefCounted.h"
#include "engine/core/String.h"

namespace zav {

// A function exported by a module; callers cast it to the signature the
// symbol name promises ("Initialize", "Shutdown", "CreateCodec",
// "CreateRenderer").
using ModuleSymbol = void (*)();
using ModuleInitFunction = int (*)();

// A named package of functions: built into the executable or loaded from a
// dynamic library.
class Module : public RefCounted, public Named {
public:
    explicit Module(const String& name) : Named(name) {}
    // Returns 0 and stores the symbol, 1 when the module lacks it, 3 when
    // `symbol` is null.
    virtual int FindSymbol(ModuleSymbol* symbol, const String& name) = 0;

protected:
    // Calls the module's "Shutdown" function; every concrete module calls it
    // from its own destructor, while its symbols can still be looked up.
    void RunShutdown();
};

class BuiltinModule : public Module {
public:
    explicit BuiltinModule(const String& name) : Module(name) {}
    ~BuiltinModule() override;

    // Enters a symbol; false if the name is taken already.
    bool AddSymbol(const String& name, ModuleSymbol function);
    int FindSymbol(ModuleSymbol* symbol, const String& name) override;

private:
    NameTable<ModuleSymbol> symbols_;
};

// A module in a dynamic library on disk. The library is loaded by Open and
// unloaded when the module goes, after its "Shutdown" function has run.
class LibraryModule : public Module {
public:
    explicit LibraryModule(const String& name) : Module(name) {}
    ~LibraryModule() override;

    // Loads the library at `utf8Path`, a path on disk. 0, or 1 when it
    // cannot be loaded (or a library is loaded already).
    int Open(const char* utf8Path);
    // Unloads the library. 0; 1 when the platform refuses (logged).
    int Unload();
    bool IsLoaded() const { return library_ != nullptr; }

    // 3 without a library or with a null `symbol`; 1 when the library does
    // not export the name.
    int FindSymbol(ModuleSymbol* symbol, const String& name) override;

private:
    void* library_ = nullptr;
};

template <class Function>
ModuleSymbol ToModuleSymbol(Function function) {
    return reinterpret_cast<ModuleSymbol>(function);
}

}  // namespace zav
