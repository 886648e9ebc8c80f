#include "swf/VideoTags.h"

#include <cassert>

namespace pictova {

void TSWFDefineVideoStream::Assign(const TBasedSWFObject& source) {
    TSWFObject::Assign(source);
    const auto& src = dynamic_cast<const TSWFDefineVideoStream&>(source);
    CharacterId = src.CharacterId;
    NumFrames = src.NumFrames;
    Width = src.Width;
    Height = src.Height;
    Deblocking = src.Deblocking;
    Smoothing = src.Smoothing;
    CodecID = src.CodecID;
}

void TSWFDefineVideoStream::WriteTagBody(TBitsEngine& be) {
    assert(Deblocking < 4 && "the deblocking field has 2 bits");
    be.WriteWord(CharacterId);
    be.WriteWord(NumFrames);
    be.WriteWord(Width);
    be.WriteWord(Height);
    be.WriteBits(0, 5); // reserved
    be.WriteBits(Deblocking, 2);
    be.WriteBit(Smoothing);
    be.WriteByte(CodecID);
}

void TSWFVideoFrame::Assign(const TBasedSWFObject& source) {
    TSWFDataObject::Assign(source);
    const auto& src = dynamic_cast<const TSWFVideoFrame&>(source);
    StreamID = src.StreamID;
    FrameNum = src.FrameNum;
}

void TSWFVideoFrame::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(StreamID);
    be.WriteWord(FrameNum);
    WriteData(be);
}

} // namespace pictova
