#pragma once
// DefineSprite: a character with a timeline of its own, whose body holds the
// tags of that timeline; and TSWFObjectList, the owning list that holds them.

#include "swf/SWFObject.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>
#include <typeinfo>
#include <vector>

namespace pictova {

// An owning list of tags and high-level objects in writing order. Objects
// have no common way to copy themselves, so each entry keeps one: made
// from the class an object is added as, or handed over with the object.
class TSWFObjectList {
public:
    // A new object of the source's class with the source's state.
    using TCopier = std::function<std::unique_ptr<TBasedSWFObject>(const TBasedSWFObject&)>;

    TSWFObjectList() = default;
    TSWFObjectList(const TSWFObjectList&) = delete;
    TSWFObjectList& operator=(const TSWFObjectList&) = delete;

    // Appends an object; the list owns it. When T is the object's own class
    // and can be made without arguments, copies are made as new T objects
    // given the object's state through Assign.
    template <class T> T& Add(std::unique_ptr<T> object);
    template <class T> T& Add() { return Add(std::make_unique<T>()); }
    // Appends an object with the way to copy it (none: the list cannot be
    // copied while it holds the object).
    TBasedSWFObject& Add(std::unique_ptr<TBasedSWFObject> object, TCopier copier);

    size_t Count() const { return Items.size(); }
    bool Empty() const { return Items.empty(); }
    TBasedSWFObject& operator[](size_t i) const { return *Items.at(i).Object; }
    TBasedSWFObject& Last() const { return *Items.back().Object; }
    void Clear() { Items.clear(); }

    // Replaces the contents with copies of the source's objects. Throws
    // std::logic_error, leaving the list unchanged, when an object of the
    // source has no way to be copied.
    void Assign(const TSWFObjectList& source);
    // The greatest MinVersion of the objects; 0 when empty.
    uint8_t MinVersion() const;
    // Every object's WriteToStream, in order.
    void Write(TBitsEngine& be);

private:
    struct TEntry {
        std::unique_ptr<TBasedSWFObject> Object;
        TCopier Copy;
    };
    std::vector<TEntry> Items;
};

template <class T> T& TSWFObjectList::Add(std::unique_ptr<T> object) {
    static_assert(std::is_base_of_v<TBasedSWFObject, T>, "the list holds SWF objects");
    T& added = *object;
    TCopier copier;
    if constexpr (std::is_default_constructible_v<T>) {
        // An object added through a base-class pointer would be copied as
        // the base class: such an entry gets no copier.
        const TBasedSWFObject& base = added;
        if (typeid(base) == typeid(T))
            copier = [](const TBasedSWFObject& source) -> std::unique_ptr<TBasedSWFObject> {
                auto copy = std::make_unique<T>();
                copy->Assign(source);
                return copy;
            };
    }
    Add(std::unique_ptr<TBasedSWFObject>(std::move(object)), std::move(copier));
    return added;
}

// Body: SpriteId, FrameCount, the timeline's tags, the End tag.
class TSWFDefineSprite : public TSWFObject {
public:
    TSWFDefineSprite() { TagID = tagDefineSprite; }
    void Assign(const TBasedSWFObject& source) override;
    // 3, raised to the greatest MinVersion of the timeline: the movie sees
    // only the sprite, not what is inside it.
    uint8_t MinVersion() const override;
    // The End tag is added unless the timeline already ends in one.
    void WriteTagBody(TBitsEngine& be) override;

    // True when the list's last object is an End tag.
    static bool EndsWithEndTag(const TSWFObjectList& tags);

    TSWFObjectList ControlTags; // the timeline: ShowFrame closes each frame
    uint16_t FrameCount = 0;    // the number of ShowFrame tags in ControlTags
    uint16_t SpriteId = 0;
};

} // namespace pictova
