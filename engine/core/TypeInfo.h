#pragma once

#include "engine/core/Named.h"

namespace zav {

// The run-time type record of an engine class: its type name ("ZAV." and the
// class name) and its parent's record. One static instance per class, built
// by the class registration (ClassRegistration.h); records live for the
// whole process.
class TypeInfo : public Named {
public:
    TypeInfo(const String& name, const TypeInfo* parent) : Named(name), parent_(parent) {}
    TypeInfo(const TypeInfo&) = delete;
    TypeInfo& operator=(const TypeInfo&) = delete;

    const TypeInfo* GetParent() const { return parent_; }

private:
    const TypeInfo* parent_;
};

// True when `base` is `type` or one of its ancestors.
bool IsKindOf(const TypeInfo* type, const TypeInfo* base);

}  // namespace zav
