#include "swf/DataObject.h"

#include <cassert>

namespace pictova {

void TSWFPayload::Set(std::vector<uint8_t> bytes) {
    FOwned = std::move(bytes);
    FView = nullptr;
    FViewSize = 0;
}

void TSWFPayload::SetView(const void* data, size_t size) {
    assert((data != nullptr || size == 0) && "a view of bytes needs a block");
    FOwned.clear();
    FView = size > 0 ? static_cast<const uint8_t*>(data) : nullptr;
    FViewSize = FView ? size : 0;
}

void TSWFPayload::Clear() {
    Set({});
}

void TSWFPayload::CopyFrom(const TSWFPayload& source) {
    if (&source == this)
        return;
    Set(std::vector<uint8_t>(source.Data(), source.Data() + source.Size()));
}

void WritePayload(TSWFDataObject& sender, TBitsEngine& be, const TSWFPayload& payload,
                  const TSWFDataWriteEvent& onWrite) {
    assert(be.PendingBitCount() == 0 && "a payload starts on a byte boundary");
    if (onWrite) {
        onWrite(sender, be);
        // A callback that left bits pending would shift every later byte.
        be.FlushLastByte(true);
    } else if (payload.Size() > 0) {
        be.WriteBytes(payload.Data(), payload.Size());
    }
}

void CopyPayload(TSWFPayload& payload, TSWFDataWriteEvent& onWrite, const TSWFPayload& source,
                 const TSWFDataWriteEvent& sourceOnWrite) {
    if (&payload == &source)
        return;
    onWrite = sourceOnWrite;
    if (sourceOnWrite)
        payload.Clear();
    else
        payload.CopyFrom(source);
}

TSWFDataObject::TSWFDataObject(const TSWFDataObject& source) : TSWFObject(source) {
    CopyPayload(FPayload, OnDataWrite, source.FPayload, source.OnDataWrite);
}

TSWFDataObject& TSWFDataObject::operator=(const TSWFDataObject& source) {
    TSWFObject::operator=(source);
    CopyPayload(FPayload, OnDataWrite, source.FPayload, source.OnDataWrite);
    return *this;
}

void TSWFDataObject::SetData(const void* data, size_t size) {
    assert((data != nullptr || size == 0) && "bytes to copy need a block");
    const auto* bytes = static_cast<const uint8_t*>(data);
    FPayload.Set(size > 0 ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>{});
}

} // namespace pictova
