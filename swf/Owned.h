#pragma once
// TSWFOwned: the pointer through which tags and records own their optional
// parts and the members of their lists, so that their copies can be the
// defaulted ones.

#include <cstddef>
#include <memory>

namespace pictova {

// An object owned through a pointer that copies go deep into: a copy holds a
// new object of the same class (through Clone() where the class has one), an
// empty one stays empty.
template <class T> class TSWFOwned {
public:
    TSWFOwned() = default;
    TSWFOwned(std::nullptr_t) {}
    TSWFOwned(std::unique_ptr<T> object) : FObject(std::move(object)) {}
    template <class U> TSWFOwned(std::unique_ptr<U> object) : FObject(std::move(object)) {}
    TSWFOwned(const TSWFOwned& source) : FObject(CopyOf(source.FObject.get())) {}
    TSWFOwned(TSWFOwned&&) noexcept = default;
    TSWFOwned& operator=(const TSWFOwned& source) {
        if (&source != this)
            FObject = CopyOf(source.FObject.get());
        return *this;
    }
    TSWFOwned& operator=(TSWFOwned&&) noexcept = default;

    T* get() const { return FObject.get(); }
    T& operator*() const { return *FObject; }
    T* operator->() const { return FObject.get(); }
    explicit operator bool() const { return FObject != nullptr; }
    bool operator==(std::nullptr_t) const { return FObject == nullptr; }
    void reset(T* object = nullptr) { FObject.reset(object); }

private:
    static std::unique_ptr<T> CopyOf(const T* object) {
        if (!object)
            return nullptr;
        if constexpr (requires { object->Clone(); })
            return object->Clone();
        else
            return std::make_unique<T>(*object);
    }

    std::unique_ptr<T> FObject;
};

} // namespace pictova
