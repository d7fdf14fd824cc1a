#pragma once

#include <cstdint>
#include <utility>

namespace zav {

// Base of everything shared through counted pointers. The count starts at 0;
// the creator takes the first reference. Dropping the last reference destroys
// the object through its virtual destructor. Destructions nested deeper than
// a few dozen levels (a long chain of objects each holding the next) are
// queued and finished by the outermost one, so they cannot exhaust the stack.
class RefCounted {
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) : refCount_(0) {}
    RefCounted& operator=(const RefCounted&) { return *this; }
    virtual ~RefCounted();

    void AddRef() { ++refCount_; }
    void Release() {
        if (refCount_-- == 1) Destroy(this);
    }
    // Drops a reference but keeps the object when it was the last one: for
    // handing a new object to a caller who takes the first reference, as a
    // factory does.
    void ReleaseWithoutDestroying() { --refCount_; }
    int32_t RefCount() const { return refCount_; }

private:
    static void Destroy(RefCounted* object);

    int32_t refCount_ = 0;
};

// Counted pointer: assignment takes the new reference, then drops the old one.
template <class T>
class Ref {
public:
    Ref() = default;
    Ref(T* object) : object_(object) {  // NOLINT: implicit by design
        if (object_) object_->AddRef();
    }
    Ref(const Ref& other) : Ref(other.object_) {}
    Ref(Ref&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
    template <class U>
    Ref(const Ref<U>& other) : Ref(other.Get()) {}  // NOLINT
    ~Ref() {
        if (object_) object_->Release();
    }

    Ref& operator=(T* object) {
        if (object != object_) {
            if (object) object->AddRef();
            T* old = object_;
            object_ = object;
            if (old) old->Release();
        }
        return *this;
    }
    Ref& operator=(const Ref& other) { return *this = other.object_; }
    Ref& operator=(Ref&& other) noexcept {
        if (this != &other) {
            T* old = object_;
            object_ = other.object_;
            other.object_ = nullptr;
            if (old) old->Release();
        }
        return *this;
    }

    T* Get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void Reset() { *this = nullptr; }

private:
    T* object_ = nullptr;
};

template <class T, class U>
bool operator==(const Ref<T>& a, const U* b) { return a.Get() == b; }
template <class T, class U>
bool operator!=(const Ref<T>& a, const U* b) { return a.Get() != b; }

}  // namespace zav
