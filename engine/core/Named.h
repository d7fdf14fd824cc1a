#pragma once

#include "engine/core/String.h"

namespace zav {

// Base of everything that carries a name: objects, type records, directories,
// files, modules, codecs, message outputs and input handlers.
class Named {
public:
    Named() = default;
    explicit Named(const String& name) : name_(name) {}
    virtual ~Named() = default;

    virtual void SetName(const String& name) { name_ = name; }
    const String& GetName() const { return name_; }

private:
    String name_;
};

}  // namespace zav
