#pragma once
// Roots of the movie's high-level objects, and the non-owning typed lists the
// movie keeps of its characters.

#include "swf/SWFObject.h"

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pictova {

class TFlashMovie;

class TFlashObject : public TBasedSWFObject {
public:
    explicit TFlashObject(TFlashMovie* owner = nullptr) : Owner(owner) {}
    TFlashObject(const TFlashObject&) = default;
    // Keeps the owner: which movie an object belongs to is not a field that
    // copies over, AssignFlashObject decides it.
    TFlashObject& operator=(const TFlashObject&) { return *this; }
    uint8_t LibraryLevel() const override { return 1; }
    // Called after the owner changed.
    virtual void ChangeOwner() {}

    TFlashMovie* GetOwner() const { return Owner; }
    void SetOwner(TFlashMovie* movie);

protected:
    TFlashMovie* Owner; // not owned
};

// A high-level object that is a character, with a 16-bit ID from its movie.
class TFlashIDObject : public TFlashObject {
public:
    using TFlashObject::TFlashObject;
    // When this object has no owner it takes the source's; then the ID.
    void Assign(const TBasedSWFObject& source) override;
    virtual uint16_t CharacterId() const { return FCharacterId; }
    // Descendants override it to copy the ID into their tag.
    virtual void SetCharacterId(uint16_t id) { FCharacterId = id; }

private:
    uint16_t FCharacterId = 0;
};

// Assign of the movie's objects, through the copy assignment of T as AssignAs
// does for tags. An object that belongs to no movie yet joins the source's
// first, so that the copy is made for that movie; one that belongs to a movie
// stays there, as the movie keeps it in its lists.
template <class T> void AssignFlashObject(T& target, const TBasedSWFObject& source) {
    const T& src = dynamic_cast<const T&>(source);
    if (&src == &target)
        return;
    if (!target.GetOwner())
        target.SetOwner(src.GetOwner());
    target = src;
}

// Characters of one kind in creation order; the movie owns them.
template <class T> class TFlashObjectList {
public:
    void Add(T* object) { Items.push_back(object); }
    size_t Count() const { return Items.size(); }
    T* operator[](size_t index) const {
        assert(index < Items.size());
        return Items[index];
    }
    auto begin() const { return Items.begin(); }
    auto end() const { return Items.end(); }

private:
    std::vector<T*> Items;
};

} // namespace pictova
