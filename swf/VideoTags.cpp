#include "swf/VideoTags.h"

#include <cassert>

namespace pictova {

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

void TSWFVideoFrame::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(StreamID);
    be.WriteWord(FrameNum);
    WriteData(be);
}

} // namespace pictova
