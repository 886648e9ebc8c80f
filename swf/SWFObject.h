#pragma once
// Roots of everything written into a movie body: TBasedSWFObject for tags and
// high-level objects alike, TSWFObject for tags, which frames each tag.

#include "swf/BitsEngine.h"
#include "swf/Owned.h"

#include <cstdint>
#include <istream>
#include <ostream>

namespace pictova {

// SWF tag codes of the tag classes.
enum TSWFTagCode : uint16_t {
    tagEnd = 0,
    tagShowFrame = 1,
    tagDefineShape = 2,
    tagPlaceObject = 4,
    tagRemoveObject = 5,
    tagDefineBits = 6,
    tagDefineButton = 7,
    tagJPEGTables = 8,
    tagSetBackgroundColor = 9,
    tagDefineFont = 10,
    tagDefineText = 11,
    tagDoAction = 12,
    tagDefineFontInfo = 13,
    tagDefineSound = 14,
    tagStartSound = 15,
    tagDefineButtonSound = 17,
    tagSoundStreamHead = 18,
    tagSoundStreamBlock = 19,
    tagDefineBitsLossless = 20,
    tagDefineBitsJPEG2 = 21,
    tagDefineShape2 = 22,
    tagDefineButtonCxform = 23,
    tagProtect = 24,
    tagPlaceObject2 = 26,
    tagRemoveObject2 = 28,
    tagDefineShape3 = 32,
    tagDefineText2 = 33,
    tagDefineButton2 = 34,
    tagDefineBitsJPEG3 = 35,
    tagDefineBitsLossless2 = 36,
    tagDefineEditText = 37,
    tagDefineSprite = 39,
    tagFrameLabel = 43,
    tagSoundStreamHead2 = 45,
    tagDefineMorphShape = 46,
    tagDefineFont2 = 48,
    tagExportAssets = 56,
    tagImportAssets = 57,
    tagEnableDebugger = 58,
    tagDoInitAction = 59,
    tagDefineVideoStream = 60,
    tagVideoFrame = 61,
    tagDefineFontInfo2 = 62,
    tagEnableDebugger2 = 64,
    tagScriptLimits = 65,
    tagSetTabIndex = 66,
};

class TBasedSWFObject {
public:
    TBasedSWFObject() = default;
    TBasedSWFObject(const TBasedSWFObject&) = default;
    TBasedSWFObject& operator=(const TBasedSWFObject&) = default;
    virtual ~TBasedSWFObject() = default;
    // Copies the source's state into this object; the source must be of the
    // same class (std::bad_cast otherwise). Classes implement it with AssignAs.
    virtual void Assign(const TBasedSWFObject& source) = 0;
    // 0 for tags, 1 for high-level objects.
    virtual uint8_t LibraryLevel() const = 0;
    // Lowest SWF version the object needs.
    virtual uint8_t MinVersion() const { return 1; }
    virtual void WriteToStream(TBitsEngine& be) = 0;
};

// Assign through the copy assignment of T, so that a class copies its fields
// in one place. The source must be a T (std::bad_cast otherwise); as with any
// assignment, only T's part of a source of a derived class is copied.
template <class T> void AssignAs(T& target, const TBasedSWFObject& source) {
    target = dynamic_cast<const T&>(source);
}

// A field that tells which class an object is, set by its constructor as the
// tag code is: a copy takes the source's value, assigning keeps the target's.
template <class T> class TSWFClassField {
public:
    TSWFClassField() = default;
    TSWFClassField(T value) : FValue(value) {}
    TSWFClassField(const TSWFClassField&) = default;
    TSWFClassField& operator=(const TSWFClassField&) { return *this; }
    TSWFClassField& operator=(T value) {
        FValue = value;
        return *this;
    }
    operator T() const { return FValue; }

private:
    T FValue{};
};

class TSWFObject : public TBasedSWFObject {
public:
    TSWFObject() = default;
    TSWFObject(const TSWFObject&) = default;
    // Copies BodySize only: a tag assigned to keeps its own tag code.
    TSWFObject& operator=(const TSWFObject& source) {
        BodySize = source.BodySize;
        return *this;
    }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t LibraryLevel() const override { return 0; }
    // Writes the tag header (short or long form) and the body.
    void WriteToStream(TBitsEngine& be) override;
    // Each tag class writes its fields here; the base frames them.
    virtual void WriteTagBody(TBitsEngine& be);

    // Set when the tag is written.
    uint32_t BodySize = 0;
    uint16_t TagID = 0;
};

// True for tags that are always written with the long header.
bool TagNeedsLongHeader(uint16_t code, uint32_t bodySize);

// Writes a tag header and then `length` bytes of `body` from its current
// position; length 0 means the rest of the body.
void WriteTagHeader(std::ostream& stream, uint8_t code, std::istream& body, uint32_t length = 0);

} // namespace pictova
