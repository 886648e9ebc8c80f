#include "swf/SpriteTags.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace pictova {

TBasedSWFObject& TSWFObjectList::Add(std::unique_ptr<TBasedSWFObject> object, TCopier copier) {
    Items.push_back(TEntry{std::move(object), std::move(copier)});
    return *Items.back().Object;
}

void TSWFObjectList::Assign(const TSWFObjectList& source) {
    if (&source == this)
        return;
    std::vector<TEntry> copies;
    copies.reserve(source.Items.size());
    for (size_t i = 0; i < source.Items.size(); ++i) {
        const TEntry& entry = source.Items[i];
        if (!entry.Copy) {
            const auto* tag = dynamic_cast<const TSWFObject*>(entry.Object.get());
            throw std::logic_error(
                "object " + std::to_string(i) + " of the list" +
                (tag ? " (tag code " + std::to_string(tag->TagID) + ")" : std::string()) +
                " cannot be copied: it was added without a way to copy it");
        }
        copies.push_back(TEntry{entry.Copy(*entry.Object), entry.Copy});
    }
    Items = std::move(copies);
}

uint8_t TSWFObjectList::MinVersion() const {
    uint8_t v = 0;
    for (const TEntry& entry : Items)
        v = std::max(v, entry.Object->MinVersion());
    return v;
}

void TSWFObjectList::Write(TBitsEngine& be) {
    for (const TEntry& entry : Items)
        entry.Object->WriteToStream(be);
}

void TSWFDefineSprite::Assign(const TBasedSWFObject& source) {
    const auto& src = dynamic_cast<const TSWFDefineSprite&>(source);
    if (&src == this)
        return;
    ControlTags.Assign(src.ControlTags); // first: it may throw
    TSWFObject::Assign(src);
    FrameCount = src.FrameCount;
    SpriteId = src.SpriteId;
}

uint8_t TSWFDefineSprite::MinVersion() const {
    return std::max<uint8_t>(3, ControlTags.MinVersion());
}

bool TSWFDefineSprite::EndsWithEndTag(const TSWFObjectList& tags) {
    if (tags.Empty() || tags.Last().LibraryLevel() != 0)
        return false;
    const auto* tag = dynamic_cast<const TSWFObject*>(&tags.Last());
    return tag && tag->TagID == tagEnd;
}

void TSWFDefineSprite::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(SpriteId);
    be.WriteWord(FrameCount);
    ControlTags.Write(be);
    if (!EndsWithEndTag(ControlTags))
        be.WriteWord(0); // End
}

} // namespace pictova
