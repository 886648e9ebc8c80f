#pragma once
// TSWFDataObject: base of the tags whose body ends in an opaque payload
// (bitmaps, sounds, video frames). The payload is a memory block the tag
// holds or borrows, or a callback that writes it when the tag is written.

#include "swf/SWFObject.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace pictova {

class TSWFDataObject;

// Called while the tag body is written; it must append the payload through
// `be` (byte-aligned). `sender` is the tag being written.
using TSWFDataWriteEvent = std::function<void(TSWFDataObject& sender, TBitsEngine& be)>;

// One payload slot: bytes owned by the tag, or a borrowed block.
class TSWFPayload {
public:
    // The tag keeps the bytes.
    void Set(std::vector<uint8_t> bytes);
    // Borrowed: the caller keeps the block alive and unchanged until the tag
    // has been written (or re-pointed). Nothing is copied.
    void SetView(const void* data, size_t size);
    void Clear();
    // Replaces the content by an owned copy of the source's bytes.
    void CopyFrom(const TSWFPayload& source);

    const uint8_t* Data() const { return FView ? FView : FOwned.data(); }
    size_t Size() const { return FView ? FViewSize : FOwned.size(); }
    bool Owned() const { return !FView && !FOwned.empty(); }

private:
    std::vector<uint8_t> FOwned;
    const uint8_t* FView = nullptr;
    size_t FViewSize = 0;
};

// Writes a payload: the callback when one is assigned, else the bytes when
// there are any, else nothing. Leaves `be` byte-aligned.
void WritePayload(TSWFDataObject& sender, TBitsEngine& be, const TSWFPayload& payload,
                  const TSWFDataWriteEvent& onWrite);

// How a payload is copied: a source that streams through its callback gives
// the same callback and no bytes; otherwise the source's bytes are duplicated
// into a block the copy owns.
void CopyPayload(TSWFPayload& payload, TSWFDataWriteEvent& onWrite, const TSWFPayload& source,
                 const TSWFDataWriteEvent& sourceOnWrite);

class TSWFDataObject : public TSWFObject {
public:
    TSWFDataObject() = default;
    // The payload is copied as CopyPayload says.
    TSWFDataObject(const TSWFDataObject& source);
    TSWFDataObject& operator=(const TSWFDataObject& source);
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }

    // What the bytes must hold is up to each tag class (see its comment). The
    // JPEG tags add FF D8 before and FF D9 after the payload: hand them the
    // JPEG file without its own leading FF D8 and trailing FF D9.
    void SetData(std::vector<uint8_t> bytes) { FPayload.Set(std::move(bytes)); }
    void SetData(const void* data, size_t size);
    void SetDataView(const void* data, size_t size) { FPayload.SetView(data, size); }
    void ClearData() { FPayload.Clear(); }
    const uint8_t* Data() const { return FPayload.Data(); }
    size_t DataSize() const { return FPayload.Size(); }
    bool OwnsData() const { return FPayload.Owned(); }

    // When assigned, called at write time instead of writing Data. Whatever it
    // captures belongs to whoever installed it and must outlive the write.
    TSWFDataWriteEvent OnDataWrite;

protected:
    void WriteData(TBitsEngine& be) { WritePayload(*this, be, FPayload, OnDataWrite); }

private:
    TSWFPayload FPayload;
};

} // namespace pictova
